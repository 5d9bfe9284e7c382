// The download as a Windows user gets it: the zip that the build packed, unpacked by ctest into an empty
// folder (VANTOR_RELEASE_DIR names the folder inside it), run from there.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "tests/e2e/VantorProcess.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Unpacked() {
    if (!std::getenv("VANTOR_RELEASE_DIR")) return std::nullopt;
    return PathFromEnvironment("VANTOR_RELEASE_DIR");
}

std::wstring Widen(const std::string& text) { return {text.begin(), text.end()}; }

// The DLLs a PE file imports, read from the file itself.
std::vector<std::string> ImportedDlls(const std::string& image) {
    std::vector<std::string> names;
    const auto at = [&](std::size_t offset, std::size_t size) {
        if (offset + size > image.size()) throw std::runtime_error("truncated PE file");
        return image.data() + offset;
    };
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, at(0, sizeof dos), sizeof dos);
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, at(static_cast<std::size_t>(dos.e_lfanew), sizeof nt), sizeof nt);
    const std::size_t sectionsAt = static_cast<std::size_t>(dos.e_lfanew) +
                                   offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    std::memcpy(sections.data(), at(sectionsAt, sections.size() * sizeof(IMAGE_SECTION_HEADER)),
                sections.size() * sizeof(IMAGE_SECTION_HEADER));
    const auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (const auto& section : sections)
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        throw std::runtime_error("address outside every section");
    };
    const DWORD importRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    if (!importRva) return names;
    for (std::size_t entry = fileOffset(importRva);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, at(entry, sizeof descriptor), sizeof descriptor);
        if (!descriptor.Name) break;
        names.emplace_back(at(fileOffset(descriptor.Name), 1));
    }
    return names;
}

TEST(ReleaseE2E, UnpackedExeRunsAndKeepsItsSettingsBesideIt) {
    const auto folder = Unpacked();
    if (!folder) GTEST_SKIP() << "ctest unpacks the zip first (test release_unpack)";
    ASSERT_TRUE(fs::exists(*folder / L"vantor.exe"));
    ASSERT_FALSE(fs::exists(*folder / L"vantor20.ini")) << "a folder holding only what the zip holds";
    {
        VantorProcess vantor(*folder / L"vantor.exe");
        const HWND form = vantor.Form();
        ASSERT_NE(form, nullptr) << "the program starts with nothing beside it";
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        ASSERT_TRUE(vantor.Quit());
    }
    wchar_t left[16] = L"";
    ::GetPrivateProfileStringW(L"Window", L"Left", L"", left, 16, (*folder / L"vantor20.ini").c_str());
    EXPECT_STREQ(left, L"200") << "the settings file is written beside the exe";
}

TEST(ReleaseE2E, ExeIsStrippedAndStaticAndTheGuideNamesItsVersion) {
    const auto folder = Unpacked();
    if (!folder) GTEST_SKIP() << "ctest unpacks the zip first (test release_unpack)";
    const char* version = std::getenv("VANTOR_VERSION");
    ASSERT_NE(version, nullptr);
    const fs::path exe = *folder / L"vantor.exe";
    const std::string image = ReadFileBytes(exe);
    ASSERT_GT(image.size(), 4096u);

    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof dos);
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, image.data() + dos.e_lfanew + sizeof(DWORD), sizeof header);
    EXPECT_EQ(header.NumberOfSymbols, 0u) << "no symbol table";

    // Only DLLs that every Windows has: no compiler runtime beside the exe.
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    const auto dlls = ImportedDlls(image);
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) EXPECT_TRUE(fs::exists(fs::path(system) / Widen(dll))) << dll;

    DWORD ignored = 0;
    std::vector<char> info(::GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "a version resource";
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    wchar_t* productVersion = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\StringFileInfo\\041104B0\\ProductVersion",
                                 reinterpret_cast<void**>(&productVersion), &length));
    EXPECT_EQ(std::wstring(productVersion), Widen(version));

    const std::string guide = ReadFileBytes(*folder / L"vantor-guide.txt");
    ASSERT_TRUE(guide.starts_with("\xEF\xBB\xBF")) << "a byte-order mark, so Notepad reads UTF-8";
    EXPECT_EQ(guide.substr(3, guide.find("\r\n") - 3).find(std::string("Vantor ") + version), 0u)
        << "the title line names the version";
    for (std::size_t at = guide.find('\n'); at != std::string::npos; at = guide.find('\n', at + 1))
        ASSERT_EQ(guide[at - 1], '\r') << "every line ends in CR LF (byte " << at << ")";
}

}  // namespace
}  // namespace vantor::e2e
