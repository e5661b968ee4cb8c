// The real duoscope.dll under the real loader: its export table and the
// query export.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const std::map<int, std::string> kExportTable = {
    {1, "Init_VR_System"},         {2, "Enable_VR_System"},     {3, "Disable_VR_System"},
    {4, "Close_VR_System"},        {5, "Query_VR_System"},      {6, "Set_VR_System_Frequency"},
    {7, "Adjust_VR_System"},       {8, "Diagnosis_VR_System"},  {9, "Resume_VR_System"},
    {10, "Set_VR_System"},         {11, "AdjustVRSystemDlgProc"}, {12, "PopupWndProc"},
    {13, "DiagnosisVRSystemDlgProc"}, {14, "Set_VR_Reserved"},  {15, "SwitchGlasses"},
};

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        library = LoadLibraryA("duoscope.dll");
        ASSERT_NE(library, nullptr) << "error " << GetLastError();
        query = reinterpret_cast<int(WINAPI*)(int, int)>(
            reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(5))));
        ASSERT_NE(query, nullptr);
    }
    void TearDown() override {
        if (library) FreeLibrary(library);
    }
    HMODULE library = nullptr;
    int(WINAPI* query)(int, int) = nullptr;
};

TEST_F(LibraryTest, EveryExportHasItsOrdinalAndName) {
    auto* base = reinterpret_cast<const BYTE*>(library);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    ASSERT_GT(exports->NumberOfNames, 0u);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        std::string name = reinterpret_cast<const char*>(base + names[i]);
        int ordinal = static_cast<int>(exports->Base + ordinals[i]);
        auto row = kExportTable.find(ordinal);
        ASSERT_NE(row, kExportTable.end()) << name << " has unknown ordinal " << ordinal;
        EXPECT_EQ(row->second, name) << "ordinal " << ordinal;
        // The loader resolves both ways to the same code.
        EXPECT_EQ(GetProcAddress(library, name.c_str()), GetProcAddress(library, MAKEINTRESOURCEA(ordinal))) << name;
    }
    // No export is reachable by ordinal only.
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
}

TEST_F(LibraryTest, QueryAnswersAndErrorsThroughTheExport) {
    EXPECT_EQ(query(102, 0), 100);
    EXPECT_EQ(query(103, 0), 0);
    EXPECT_EQ(query(555, 0), -1);
    EXPECT_EQ(query(103, 0), 400);
    EXPECT_EQ(query(103, 0), 400) << "reading the error leaves it in place";
    EXPECT_EQ(query(101, 0), 0);
    EXPECT_EQ(query(103, 0), 0);
    EXPECT_EQ(query(104, 20), -1);
    EXPECT_EQ(query(103, 0), 400);
    EXPECT_EQ(query(104, -1), -1);
    EXPECT_EQ(query(104, 19), 0);
    EXPECT_EQ(query(105, 0), 0);
    EXPECT_EQ(query(100, 0), 0) << "no chip before initialisation";
}

} // namespace
