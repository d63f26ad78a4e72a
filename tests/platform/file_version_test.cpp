#include "platform/file_version.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

// The version tests/platform/CMakeLists.txt stamps into this test executable.
constexpr char kStampedVersion[] = "7.15.300.40000";

// --- Small ELF files written byte by byte -----------------------------------------------------

class Bytes {
public:
    explicit Bytes(bool bigEndian) : bigEndian_(bigEndian) {}
    std::string& data() { return data_; }
    void put(std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (bigEndian_ ? width - 1 - i : i);
            data_.push_back(static_cast<char>(value >> shift & 0xff));
        }
    }
    void putText(const std::string& text) { data_ += text; }
    void padTo(std::size_t alignment) {
        while (data_.size() % alignment != 0) data_.push_back('\0');
    }
    // Overwrites a field already written.
    void patch(std::size_t offset, std::uint64_t value, int width) {
        Bytes field(bigEndian_);
        field.put(value, width);
        data_.replace(offset, width, field.data());
    }

private:
    bool bigEndian_;
    std::string data_;
};

std::string note(bool bigEndian, const std::string& owner, std::uint32_t type,
                 const std::string& descriptor, std::size_t alignment = 4,
                 bool ownerWithNul = true) {
    Bytes b(bigEndian);
    const std::string name = ownerWithNul ? owner + '\0' : owner;
    b.put(name.size(), 4);
    b.put(descriptor.size(), 4);
    b.put(type, 4);
    b.putText(name);
    b.padTo(alignment);
    b.putText(descriptor);
    b.padTo(alignment);
    return b.data();
}

std::string versionDescriptor(bool bigEndian, std::uint16_t major, std::uint16_t minor,
                              std::uint16_t release, std::uint16_t build) {
    Bytes b(bigEndian);
    b.put(std::uint32_t{major} << 16 | minor, 4);
    b.put(std::uint32_t{release} << 16 | build, 4);
    return b.data();
}

struct ElfOptions {
    bool is64 = true;
    bool bigEndian = false;
    std::string notes;
    std::size_t noteAlignment = 4;
    bool noteSection = true;  // the area's section header says SHT_NOTE (else SHT_PROGBITS)
    bool noteSegment = true;  // the area's program header says PT_NOTE (else PT_LOAD)
    bool extendedSectionCount = false;
    bool extendedSegmentCount = false;
};

// Header, one program header, the note area, then the section table (null section + area).
struct ElfFile {
    std::string bytes;
    std::size_t segmentTable = 0;
    std::size_t noteArea = 0;
    std::size_t sectionTable = 0;
    bool is64 = true;
    bool bigEndian = false;

    std::size_t sectionEntrySize() const { return is64 ? 64 : 40; }
    std::size_t segmentEntrySize() const { return is64 ? 56 : 32; }
    // Offsets of fields in the ELF header.
    std::size_t sectionTableOffsetField() const { return is64 ? 40 : 32; }
    std::size_t sectionEntrySizeField() const { return is64 ? 58 : 46; }
    std::size_t sectionCountField() const { return is64 ? 60 : 48; }
    std::size_t segmentCountField() const { return is64 ? 56 : 44; }
    // Offsets of fields in the note area's section and program headers.
    std::size_t noteSectionOffsetField() const {
        return sectionTable + sectionEntrySize() + (is64 ? 24 : 16);
    }
    std::size_t noteSectionSizeField() const {
        return sectionTable + sectionEntrySize() + (is64 ? 32 : 20);
    }
    std::size_t noteSegmentSizeField() const { return segmentTable + (is64 ? 32 : 16); }

    void patch(std::size_t offset, std::uint64_t value, int width) {
        Bytes b(bigEndian);
        b.data() = bytes;
        b.patch(offset, value, width);
        bytes = b.data();
    }
};

ElfFile buildElf(const ElfOptions& o) {
    ElfFile f;
    f.is64 = o.is64;
    f.bigEndian = o.bigEndian;
    const int word = o.is64 ? 8 : 4;
    const std::size_t headerSize = o.is64 ? 64 : 52;
    f.segmentTable = headerSize;
    f.noteArea = (f.segmentTable + f.segmentEntrySize() + 7) / 8 * 8;
    f.sectionTable = (f.noteArea + o.notes.size() + 7) / 8 * 8;
    const std::uint64_t sectionCount = 2;

    Bytes b(o.bigEndian);
    b.putText(
        "\x7f"
        "ELF");
    b.put(o.is64 ? 2 : 1, 1);
    b.put(o.bigEndian ? 2 : 1, 1);
    b.put(1, 1);
    b.padTo(16);
    b.put(2, 2);                     // e_type: executable
    b.put(o.is64 ? 62 : 3, 2);       // e_machine
    b.put(1, 4);                     // e_version
    b.put(0, word);                  // e_entry
    b.put(f.segmentTable, word);     // e_phoff
    b.put(f.sectionTable, word);     // e_shoff
    b.put(0, 4);                     // e_flags
    b.put(headerSize, 2);            // e_ehsize
    b.put(f.segmentEntrySize(), 2);  // e_phentsize
    b.put(o.extendedSegmentCount ? 0xffff : 1, 2);
    b.put(f.sectionEntrySize(), 2);  // e_shentsize
    b.put(o.extendedSectionCount ? 0 : sectionCount, 2);
    b.put(0, 2);  // e_shstrndx

    const std::uint32_t segmentType = o.noteSegment ? 4 : 1;
    if (o.is64) {
        b.put(segmentType, 4);
        b.put(4, 4);  // p_flags
        b.put(f.noteArea, 8);
        b.put(0, 8);
        b.put(0, 8);
        b.put(o.notes.size(), 8);
        b.put(o.notes.size(), 8);
        b.put(o.noteAlignment, 8);
    } else {
        b.put(segmentType, 4);
        b.put(f.noteArea, 4);
        b.put(0, 4);
        b.put(0, 4);
        b.put(o.notes.size(), 4);
        b.put(o.notes.size(), 4);
        b.put(4, 4);  // p_flags
        b.put(o.noteAlignment, 4);
    }
    b.padTo(8);
    b.putText(o.notes);
    b.padTo(8);

    // Null section; with extended numbering it carries the real counts.
    const auto putSection = [&](std::uint32_t type, std::uint64_t offset, std::uint64_t size,
                                std::uint32_t info, std::uint64_t alignment) {
        b.put(0, 4);     // sh_name
        b.put(type, 4);  // sh_type
        b.put(0, word);  // sh_flags
        b.put(0, word);  // sh_addr
        b.put(offset, word);
        b.put(size, word);
        b.put(0, 4);  // sh_link
        b.put(info, 4);
        b.put(alignment, word);
        b.put(0, word);  // sh_entsize
    };
    putSection(0, 0, o.extendedSectionCount ? sectionCount : 0, o.extendedSegmentCount ? 1 : 0, 0);
    putSection(o.noteSection ? 7 : 1, f.noteArea, o.notes.size(), 0, o.noteAlignment);
    f.bytes = b.data();
    return f;
}

std::string readVersionOf(const std::string& bytes) {
    test::TempDir dir;
    dir.write("program", bytes);
    return getversion((dir / "program").string());
}

std::string versionNote(bool bigEndian, std::size_t alignment = 4) {
    return note(bigEndian, "Plumo", 1, versionDescriptor(bigEndian, 258, 3, 65535, 0), alignment);
}
constexpr char kCraftedVersion[] = "258.3.65535.0";

// --- The real, linked executable ----------------------------------------------------------------

std::string ownExecutable() { return fs::read_symlink("/proc/self/exe").string(); }

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Where the stamped note ends in the file, found by its bytes (this machine is little-endian).
// The debug information may hold a second copy of the note's value; every copy must carry the
// same version, so that no other bytes of the file can be mistaken for a different one.
std::size_t stampedNoteEnd(const std::string& image) {
    // Put together here, so that no literal copy of it lands in this executable's data.
    std::string header(12, '\0');
    header[0] = 6;
    header[4] = 8;
    header[8] = 1;
    header += std::string(kVersionNoteOwner) + std::string(3, '\0');
    const std::size_t first = image.find(header);
    EXPECT_NE(first, std::string::npos) << "no version note in the executable";
    if (first == std::string::npos) return image.size();
    const std::string descriptor = image.substr(first + header.size(), 8);
    for (std::size_t at = image.find(header, first + 1); at != std::string::npos;
         at = image.find(header, at + 1))
        EXPECT_EQ(image.substr(at + header.size(), 8), descriptor) << "copy at " << at;
    return first + header.size() + descriptor.size();
}

TEST(GetVersion, ReadsTheVersionStampedIntoThisExecutable) {
    EXPECT_EQ(getversion(ownExecutable()), kStampedVersion);
}

TEST(GetVersion, ProgramWithoutTheNoteIsUnknown) {
    const std::string program = "/bin/true";
    ASSERT_EQ(readWholeFile(program).substr(0, 4),
              "\x7f"
              "ELF");
    EXPECT_EQ(getversion(program), "unknown");
}

TEST(GetVersion, FilesThatAreNoElfProgramAreUnknown) {
    test::TempDir dir;
    dir.write("empty", "");
    dir.write("text", "version 1.0.0.0\n");
    dir.write("magic-only",
              "\x7f"
              "ELF");
    dir.write("short-header", std::string("\x7f"
                                          "ELF\x02\x01\x01",
                                          7) +
                                  std::string(20, '\0'));
    EXPECT_EQ(getversion((dir / "missing").string()), "unknown");
    EXPECT_EQ(getversion(""), "unknown");
    EXPECT_EQ(getversion(dir.path().string()), "unknown");
    for (const char* name : {"empty", "text", "magic-only", "short-header"})
        EXPECT_EQ(getversion((dir / name).string()), "unknown") << name;
}

TEST(GetVersion, NamedPipeIsUnknownWithoutWaitingForAWriter) {
    test::TempDir dir;
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(getversion(pipe), "unknown");
}

// --- Hand-made ELF files: both classes, both byte orders, section and segment routes ----------

TEST(GetVersion, FindsTheNoteInEveryClassAndByteOrderBySectionOrSegment) {
    for (bool is64 : {false, true}) {
        for (bool bigEndian : {false, true}) {
            for (auto [bySection, bySegment] :
                 {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}}) {
                ElfOptions o;
                o.is64 = is64;
                o.bigEndian = bigEndian;
                o.notes = versionNote(bigEndian);
                o.noteSection = bySection;
                o.noteSegment = bySegment;
                EXPECT_EQ(readVersionOf(buildElf(o).bytes), kCraftedVersion)
                    << "64-bit " << is64 << ", big-endian " << bigEndian << ", section "
                    << bySection << ", segment " << bySegment;
            }
        }
    }
}

TEST(GetVersion, ElfWithoutNoteAreasIsUnknown) {
    ElfOptions o;
    o.notes = versionNote(false);
    o.noteSection = false;
    o.noteSegment = false;
    EXPECT_EQ(readVersionOf(buildElf(o).bytes), "unknown");
}

TEST(GetVersion, StepsOverOtherNotesAtFourAndEightByteAlignment) {
    for (std::size_t alignment : {4u, 8u}) {
        ElfOptions o;
        o.noteAlignment = alignment;
        o.notes = note(false, "GNU", 3, std::string(20, '\x5a'), alignment) +
                  note(false, "Linux", 0x100, std::string(5, '\x01'), alignment) +
                  note(false, "Plumo", 2, versionDescriptor(false, 9, 9, 9, 9), alignment) +
                  versionNote(false, alignment);
        EXPECT_EQ(readVersionOf(buildElf(o).bytes), kCraftedVersion) << alignment;
    }
}

TEST(GetVersion, NotesThatAreNotExactlyOursAreIgnored) {
    const std::string descriptor = versionDescriptor(false, 1, 2, 3, 4);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"other type", note(false, "Plumo", 2, descriptor)},
        {"other owner", note(false, "plumo", 1, descriptor)},
        {"owner prefix", note(false, "Plum", 1, descriptor)},
        {"owner without NUL", note(false, "Plumo", 1, descriptor, 4, false)},
        {"short descriptor", note(false, "Plumo", 1, descriptor.substr(0, 4))},
        {"long descriptor", note(false, "Plumo", 1, descriptor + std::string(4, '\0'))},
    };
    for (const auto& [name, notes] : cases) {
        ElfOptions o;
        o.notes = notes;
        EXPECT_EQ(readVersionOf(buildElf(o).bytes), "unknown") << name;
    }
}

TEST(GetVersion, ExtendedHeaderCountsAreFollowed) {
    ElfOptions sections;
    sections.notes = versionNote(false);
    sections.noteSegment = false;
    sections.extendedSectionCount = true;
    EXPECT_EQ(readVersionOf(buildElf(sections).bytes), kCraftedVersion);

    ElfOptions segments;
    segments.is64 = false;
    segments.notes = versionNote(false);
    segments.noteSection = false;
    segments.extendedSegmentCount = true;
    EXPECT_EQ(readVersionOf(buildElf(segments).bytes), kCraftedVersion);
}

TEST(GetVersion, ImpossibleSizesAndOffsetsGiveUnknownUnlessTheOtherRouteIsIntact) {
    struct Patch {
        const char* name;
        bool breaksSections;  // else it breaks the program headers
        std::size_t (ElfFile::*field)() const;
        std::uint64_t value;
        int width;
    };
    const std::vector<Patch> patches = {
        {"section table past the end", true, &ElfFile::sectionTableOffsetField, ~0ull - 15, 8},
        {"section entry size too small", true, &ElfFile::sectionEntrySizeField, 8, 2},
        {"section entry size huge", true, &ElfFile::sectionEntrySizeField, 0xffff, 2},
        {"section count huge", true, &ElfFile::sectionCountField, 0xfeff, 2},
        {"note section past the end", true, &ElfFile::noteSectionOffsetField, ~0ull - 3, 8},
        {"segment count huge", false, &ElfFile::segmentCountField, 0xfeff, 2},
        {"note segment size zero", false, &ElfFile::noteSegmentSizeField, 0, 8},
    };
    for (const Patch& p : patches) {
        ElfOptions only;
        only.notes = versionNote(false);
        only.noteSection = p.breaksSections;
        only.noteSegment = !p.breaksSections;
        ElfFile f = buildElf(only);
        f.patch((f.*p.field)(), p.value, p.width);
        EXPECT_EQ(readVersionOf(f.bytes), "unknown") << p.name << ", the only route";

        ElfOptions both;
        both.notes = versionNote(false);
        ElfFile g = buildElf(both);
        g.patch((g.*p.field)(), p.value, p.width);
        EXPECT_EQ(readVersionOf(g.bytes), kCraftedVersion) << p.name << ", the other route intact";
    }
}

TEST(GetVersion, NoteAreaRunningPastTheEndIsReadAsFarAsItGoes) {
    ElfOptions o;
    o.notes = versionNote(false);
    o.noteSegment = false;
    ElfFile f = buildElf(o);
    f.patch(f.noteSectionSizeField(), ~0ull, 8);
    EXPECT_EQ(readVersionOf(f.bytes), kCraftedVersion);
}

TEST(GetVersion, NoteSizesBeyondTheAreaStopTheWalk) {
    for (std::uint32_t ownerSize : {0xffffffffu, 0xfffffff0u, 200u}) {
        ElfOptions o;
        std::string first = note(false, "GNU", 3, std::string(4, '\0'));
        Bytes b(false);
        b.data() = first;
        b.patch(0, ownerSize, 4);
        o.notes = b.data() + versionNote(false);
        EXPECT_EQ(readVersionOf(buildElf(o).bytes), "unknown") << ownerSize;
    }
    for (std::uint32_t descriptorSize : {0xffffffffu, 0xfffffffdu, 100u}) {
        ElfOptions o;
        Bytes b(false);
        b.data() = versionNote(false);
        b.patch(4, descriptorSize, 4);
        o.notes = b.data();
        EXPECT_EQ(readVersionOf(buildElf(o).bytes), "unknown") << descriptorSize;
    }
}

// --- Damaged copies of the real executable ------------------------------------------------------

TEST(GetVersion, TruncatedCopiesAreUnknownUntilTheNoteIsWhole) {
    const std::string image = readWholeFile(ownExecutable());
    ASSERT_GT(image.size(), 16384u);
    const std::size_t noteEnd = stampedNoteEnd(image);
    test::TempDir dir;
    dir.write("program", image);
    const fs::path copy = dir / "program";

    // Every length near the start (headers, the note) and the end (section table), sampled
    // lengths in between; cut from the longest down with one copy.
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < 4096; ++n) lengths.push_back(n);
    for (std::size_t n = 4096; n + 4096 < image.size(); n += 4099) lengths.push_back(n);
    for (std::size_t n = image.size() - 4096; n < image.size(); ++n) lengths.push_back(n);
    std::sort(lengths.rbegin(), lengths.rend());
    for (std::size_t length : lengths) {
        fs::resize_file(copy, length);
        const std::string version = getversion(copy.string());
        if (length < noteEnd)
            ASSERT_EQ(version, "unknown") << "cut at " << length;
        else
            ASSERT_EQ(version, kStampedVersion) << "cut at " << length;
    }
}

std::uint64_t littleEndian(const std::string& image, std::size_t offset, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(image[offset + i]);
    return value;
}

TEST(GetVersion, RandomlyDamagedHeadersGiveUnknownOrTheIntactNote) {
    const std::string image = readWholeFile(ownExecutable());
    ASSERT_EQ(image.substr(0, 6),
              "\x7f"
              "ELF\x02\x01");
    stampedNoteEnd(image);

    // The header regions: ELF header, program header table, section header table.
    const std::uint64_t phoff = littleEndian(image, 32, 8);
    const std::uint64_t shoff = littleEndian(image, 40, 8);
    const std::uint64_t phsize = littleEndian(image, 54, 2) * littleEndian(image, 56, 2);
    const std::uint64_t shsize = littleEndian(image, 58, 2) * littleEndian(image, 60, 2);
    ASSERT_LE(phoff + phsize, image.size());
    ASSERT_LE(shoff + shsize, image.size());
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> regions = {
        {0, 64}, {phoff, phsize}, {shoff, shsize}};

    test::TempDir dir;
    dir.write("program", image);
    const std::string copy = (dir / "program").string();
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file);

    std::mt19937 random(20240607);
    int unknown = 0;
    constexpr int kRounds = 3000;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::uint64_t> touched;
        const int damage = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < damage; ++i) {
            const auto& [start, size] = regions[random() % regions.size()];
            const std::uint64_t at = start + random() % size;
            const unsigned pick = random() % 4;
            const char value = pick == 0 ? '\0' : pick == 1 ? '\xff' : static_cast<char>(random());
            file.seekp(static_cast<std::streamoff>(at));
            file.put(value);
            touched.push_back(at);
        }
        file.flush();
        const std::string version = getversion(copy);
        if (version == "unknown")
            ++unknown;
        else
            ASSERT_EQ(version, kStampedVersion) << "round " << round;
        for (std::uint64_t at : touched) {
            file.seekp(static_cast<std::streamoff>(at));
            file.put(image[at]);
        }
    }
    file.flush();
    // Both outcomes occur, so the damage did reach what the reader looks at.
    EXPECT_GT(unknown, 0);
    EXPECT_LT(unknown, kRounds);
    EXPECT_EQ(getversion(copy), kStampedVersion);
}

// --- The version as the About text shows it -----------------------------------------------------

TEST(AboutVersionText, KeepsOneCharacterAfterTheFirstDot) {
    EXPECT_EQ(aboutVersionText("1.0.0.0"), "1.0");
    EXPECT_EQ(aboutVersionText("2.15.3.0"), "2.1");
    EXPECT_EQ(aboutVersionText("10.2.0.0"), "10.2");
    EXPECT_EQ(aboutVersionText("3."), "3.");
}

TEST(AboutVersionText, UnknownVersionReadsAsANoteNotItsFirstLetter) {
    EXPECT_EQ(aboutVersionText("unknown"), "（版本未知）");
    EXPECT_EQ(aboutVersionText(""), "（版本未知）");
}

TEST(AboutVersionText, CutsWhatGetVersionReads) {
    EXPECT_EQ(aboutVersionText(getversion(ownExecutable())), "7.1");
}

}  // namespace
}  // namespace plumo
