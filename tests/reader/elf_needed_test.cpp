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

struct ElfFile {
    bool ok = false;         // a shared object with a dynamic section
    int elfClass = 0;        // ELFCLASS32 or ELFCLASS64
    int machine = EM_NONE;
    std::vector<std::string> needed;  // its DT_NEEDED entries
};

// Reads the DT_NEEDED entries through the section headers of an ELF image of one class.
template <typename Ehdr, typename Shdr, typename Dyn>
void readDynamic(const std::vector<char>& image, ElfFile* elf)
{
    if (image.size() < sizeof(Ehdr))
        return;
    const auto* header = reinterpret_cast<const Ehdr*>(image.data());
    elf->machine = header->e_machine;
    if (header->e_shoff + header->e_shnum * sizeof(Shdr) > image.size())
        return;
    const auto* sections = reinterpret_cast<const Shdr*>(image.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; i++) {
        if (sections[i].sh_type != SHT_DYNAMIC)
            continue;
        const Shdr& strings = sections[sections[i].sh_link];
        const auto* entries = reinterpret_cast<const Dyn*>(image.data() + sections[i].sh_offset);
        for (size_t j = 0; j < sections[i].sh_size / sizeof(Dyn) && entries[j].d_tag != DT_NULL; j++) {
            if (entries[j].d_tag == DT_NEEDED)
                elf->needed.emplace_back(image.data() + strings.sh_offset + entries[j].d_un.d_val);
        }
        elf->ok = true;
    }
}

ElfFile readElf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ElfFile elf;
    if (image.size() <= EI_CLASS || std::string(image.data(), SELFMAG) != ELFMAG)
        return elf;
    elf.elfClass = image[EI_CLASS];
    if (elf.elfClass == ELFCLASS64)
        readDynamic<Elf64_Ehdr, Elf64_Shdr, Elf64_Dyn>(image, &elf);
    else if (elf.elfClass == ELFCLASS32)
        readDynamic<Elf32_Ehdr, Elf32_Shdr, Elf32_Dyn>(image, &elf);
    return elf;
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

void expectOnlyLibc(const char* file, const ElfFile& elf)
{
    ASSERT_TRUE(elf.ok) << file << " has no dynamic section";
    const bool sanitized = std::any_of(elf.needed.begin(), elf.needed.end(),
                                       [](const std::string& n) { return n.rfind("libasan.so", 0) == 0; });
    for (const std::string& name : elf.needed) {
        EXPECT_TRUE(allowedDependency(name, sanitized)) << file << " needs " << name;
        EXPECT_EQ(name.find("utl"), std::string::npos) << file << " needs " << name;
    }
}

TEST(ReaderLibraries, NeedOnlyLibc)
{
    for (const char* file :
         { LIBKTR610_FILE, LIBKTR610_UART_FILE, LIBSERLINK_UART_FILE, LIBUTL_FILE, LIBKTR610_USB_FILE }) {
        const ElfFile elf = readElf(file);
        EXPECT_EQ(elf.elfClass, ELFCLASS64) << file;
        expectOnlyLibc(file, elf);
    }
}

// The USB transport is also built for the board's i386 processor, without sanitizers.
TEST(ReaderLibraries, UsbTransportForI386IsElf32NeedingOnlyLibc)
{
#ifdef LIBKTR610_USB_I386_FILE
    const ElfFile elf = readElf(LIBKTR610_USB_I386_FILE);
    EXPECT_EQ(elf.elfClass, ELFCLASS32);
    EXPECT_EQ(elf.machine, EM_386);
    ASSERT_TRUE(elf.ok) << "no dynamic section";
    EXPECT_EQ(elf.needed, std::vector<std::string>{ "libc.so.6" }) << "no sanitizer runtime, no reader library";
#else
    GTEST_SKIP() << "no i386 build of libktr610_usb: " << KTR610_USB_I386_MISSING;
#endif
}

}  // namespace
