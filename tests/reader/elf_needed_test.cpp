// The reader libraries take their neighbours' functions from the process: none of them may
// name another reader library or libutl as needed.
#include <gtest/gtest.h>

#include <elf.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The DT_NEEDED entries of a 64-bit ELF shared object, read through its section headers.
std::vector<std::string> neededLibraries(const std::string& file, bool* ok)
{
    *ok = false;
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (image.size() < sizeof(Elf64_Ehdr) || image[EI_CLASS] != ELFCLASS64)
        return {};
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
    if (header->e_shoff + header->e_shnum * sizeof(Elf64_Shdr) > image.size())
        return {};
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
    std::vector<std::string> needed;
    for (int i = 0; i < header->e_shnum; i++) {
        if (sections[i].sh_type != SHT_DYNAMIC)
            continue;
        const Elf64_Shdr& strings = sections[sections[i].sh_link];
        const auto* entries = reinterpret_cast<const Elf64_Dyn*>(image.data() + sections[i].sh_offset);
        for (size_t j = 0; j < sections[i].sh_size / sizeof(Elf64_Dyn) && entries[j].d_tag != DT_NULL; j++) {
            if (entries[j].d_tag == DT_NEEDED)
                needed.emplace_back(image.data() + strings.sh_offset + entries[j].d_un.d_val);
        }
        *ok = true;
    }
    return needed;
}

// libc; in the sanitizer build also the sanitizer runtimes and what they bring along.
bool allowedDependency(const std::string& name, bool sanitized)
{
    static const char* const runtimes[] = { "libasan.so", "libubsan.so", "libstdc++.so", "libm.so", "libgcc_s.so" };
    if (name.rfind("libc.so", 0) == 0)
        return true;
    for (const char* runtime : runtimes) {
        if (sanitized && name.rfind(runtime, 0) == 0)
            return true;
    }
    return false;
}

TEST(ReaderLibraries, NeedOnlyLibc)
{
    for (const char* file : { LIBKTR610_FILE, LIBKTR610_UART_FILE, LIBSERLINK_UART_FILE, LIBUTL_FILE }) {
        bool ok = false;
        const std::vector<std::string> needed = neededLibraries(file, &ok);
        ASSERT_TRUE(ok) << file << " has no dynamic section";
        const bool sanitized = std::any_of(needed.begin(), needed.end(),
                                           [](const std::string& n) { return n.rfind("libasan.so", 0) == 0; });
        for (const std::string& name : needed) {
            EXPECT_TRUE(allowedDependency(name, sanitized)) << file << " needs " << name;
            EXPECT_EQ(name.find("utl"), std::string::npos) << file << " needs " << name;
        }
    }
}

}  // namespace
