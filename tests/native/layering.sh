#!/bin/sh
# The library's layers: lib/hw and lib/timing never include lib/core or
# lib/dialogs. Between the two, lib/hw takes from lib/timing only the timing
# block's layout (timing_table.h, which includes nothing of the library) and
# lib/timing takes from lib/hw only its data headers, so no include cycle can
# form. Prints every include that breaks this and fails.
#   layering.sh SOURCE_DIR
cd "$1" || exit 2
inc='^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]'
found=$(
  grep -rnE "${inc}lib/(core|dialogs)/" lib/hw lib/timing
  grep -rnE "${inc}lib/timing/" lib/hw | grep -vE '["<]lib/timing/timing_table\.h[">]'
  grep -nE "${inc}lib/" lib/timing/timing_table.h | sed 's|^|lib/timing/timing_table.h:|'
  grep -rnE "${inc}lib/hw/" lib/timing | grep -vE '["<]lib/hw/(adapter_state|chips|vga_registers)\.h[">]'
)
[ -z "$found" ] && exit 0
echo "includes across the library's layers:"
echo "$found"
exit 1
