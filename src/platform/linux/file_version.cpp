#include "platform/file_version.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/linux/file_descriptor.h"

namespace plumo {
namespace {

constexpr std::uint32_t kSectionTypeNote = 7;            // SHT_NOTE
constexpr std::uint32_t kSegmentTypeNote = 4;            // PT_NOTE
constexpr std::uint16_t kExtendedSegmentCount = 0xffff;  // PN_XNUM

// Bounds that keep a corrupt or hostile file from costing much time or memory.
constexpr std::uint64_t kMaxHeaders = 1u << 16;
constexpr std::uint64_t kHeadersPerRead = 64;
constexpr std::uint64_t kMaxEntrySize = 1024;
constexpr std::uint64_t kMaxHeaderTableBytes = 4u << 20;
constexpr std::uint64_t kMaxNoteAreaBytes = 1u << 20;
constexpr std::uint64_t kNoteReadBudget = 4u << 20;

constexpr unsigned char kElfMagic[] = {0x7f, 'E', 'L', 'F'};
constexpr std::size_t kOwnerSize = sizeof(kVersionNoteOwner);  // with its terminating NUL

struct VersionWords {
    std::uint32_t mostSignificant;
    std::uint32_t leastSignificant;
};

struct NoteArea {
    std::uint64_t offset;
    std::uint64_t size;
    std::uint64_t alignment;
};

// How many entries of a header table are worth reading.
std::uint64_t boundedCount(std::uint64_t count, std::uint64_t entrySize) {
    if (entrySize == 0 || entrySize > kMaxEntrySize) return 0;
    return std::min({count, kMaxHeaders, kMaxHeaderTableBytes / entrySize});
}

// Reads fixed positions of an ELF file in its own class and byte order, never past its end.
class ElfReader {
public:
    ElfReader(int fd, std::uint64_t fileSize) : fd_(fd), fileSize_(fileSize) {}

    bool readHeader();
    std::optional<VersionWords> findInSections();
    std::optional<VersionWords> findInSegments();

private:
    bool readAt(std::uint64_t offset, std::uint64_t size, std::vector<unsigned char>& out) const;
    std::uint16_t u16(const unsigned char* p) const;
    std::uint32_t u32(const unsigned char* p) const;
    std::uint64_t u64(const unsigned char* p) const;
    // A field that is 32 bits wide in ELF32 and 64 bits wide in ELF64.
    std::uint64_t word(const unsigned char* p) const { return is64_ ? u64(p) : u32(p); }

    // Searches the note areas that `noteAreaOf` finds among the entries of a header table.
    template <typename NoteAreaOf>
    std::optional<VersionWords> searchTable(std::uint64_t tableOffset, std::uint64_t entryCount,
                                            std::uint64_t entrySize, std::uint64_t minimumEntrySize,
                                            NoteAreaOf noteAreaOf);
    std::optional<VersionWords> searchAreas(const std::vector<NoteArea>& areas);
    std::optional<VersionWords> searchNotes(const unsigned char* data, std::uint64_t size,
                                            std::uint64_t alignment) const;
    bool readFirstSection(std::vector<unsigned char>& out) const;

    int fd_;
    std::uint64_t fileSize_;
    bool is64_ = false;
    bool bigEndian_ = false;
    std::uint64_t segmentTableOffset_ = 0;
    std::uint64_t segmentEntrySize_ = 0;
    std::uint64_t segmentCount_ = 0;
    std::uint64_t sectionTableOffset_ = 0;
    std::uint64_t sectionEntrySize_ = 0;
    std::uint64_t sectionCount_ = 0;
    std::uint64_t noteBytesRead_ = 0;
};

bool ElfReader::readAt(std::uint64_t offset, std::uint64_t size,
                       std::vector<unsigned char>& out) const {
    if (offset > fileSize_ || size > fileSize_ - offset) return false;
    out.resize(size);
    std::uint64_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fd_, out.data() + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::uint64_t>(got);
    }
    return true;
}

std::uint16_t ElfReader::u16(const unsigned char* p) const {
    return bigEndian_ ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                      : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t ElfReader::u32(const unsigned char* p) const {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | p[bigEndian_ ? i : 3 - i];
    return value;
}

std::uint64_t ElfReader::u64(const unsigned char* p) const {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 8 | p[bigEndian_ ? i : 7 - i];
    return value;
}

bool ElfReader::readHeader() {
    std::vector<unsigned char> ident;
    if (!readAt(0, 16, ident)) return false;
    if (std::memcmp(ident.data(), kElfMagic, sizeof kElfMagic) != 0) return false;
    if (ident[4] != 1 && ident[4] != 2) return false;  // ELFCLASS32, ELFCLASS64
    if (ident[5] != 1 && ident[5] != 2) return false;  // ELFDATA2LSB, ELFDATA2MSB
    if (ident[6] != 1) return false;                   // EV_CURRENT
    is64_ = ident[4] == 2;
    bigEndian_ = ident[5] == 2;

    std::vector<unsigned char> header;
    if (!readAt(0, is64_ ? 64 : 52, header)) return false;
    const unsigned char* h = header.data();
    if (is64_) {
        segmentTableOffset_ = u64(h + 32);
        sectionTableOffset_ = u64(h + 40);
        segmentEntrySize_ = u16(h + 54);
        segmentCount_ = u16(h + 56);
        sectionEntrySize_ = u16(h + 58);
        sectionCount_ = u16(h + 60);
    } else {
        segmentTableOffset_ = u32(h + 28);
        sectionTableOffset_ = u32(h + 32);
        segmentEntrySize_ = u16(h + 42);
        segmentCount_ = u16(h + 44);
        sectionEntrySize_ = u16(h + 46);
        sectionCount_ = u16(h + 48);
    }

    // Extended numbering: the real counts sit in the first section header.
    const bool extendedSections = sectionCount_ == 0 && sectionTableOffset_ != 0;
    const bool extendedSegments = segmentCount_ == kExtendedSegmentCount;
    if (extendedSections || extendedSegments) {
        std::vector<unsigned char> first;
        if (readFirstSection(first)) {
            if (extendedSections) sectionCount_ = word(first.data() + (is64_ ? 32 : 20));
            if (extendedSegments) segmentCount_ = u32(first.data() + (is64_ ? 44 : 28));
        } else {
            if (extendedSections) sectionCount_ = 0;
            if (extendedSegments) segmentCount_ = 0;
        }
    }
    sectionCount_ = boundedCount(sectionCount_, sectionEntrySize_);
    segmentCount_ = boundedCount(segmentCount_, segmentEntrySize_);
    // Tables that start past the end hold nothing; this also keeps offset sums from wrapping.
    if (sectionTableOffset_ >= fileSize_) sectionCount_ = 0;
    if (segmentTableOffset_ >= fileSize_) segmentCount_ = 0;
    return true;
}

bool ElfReader::readFirstSection(std::vector<unsigned char>& out) const {
    const std::uint64_t minimum = is64_ ? 64 : 40;
    if (sectionEntrySize_ < minimum || sectionEntrySize_ > kMaxEntrySize) return false;
    return readAt(sectionTableOffset_, minimum, out);
}

template <typename NoteAreaOf>
std::optional<VersionWords> ElfReader::searchTable(std::uint64_t tableOffset,
                                                   std::uint64_t entryCount,
                                                   std::uint64_t entrySize,
                                                   std::uint64_t minimumEntrySize,
                                                   NoteAreaOf noteAreaOf) {
    if (entryCount == 0 || entrySize < minimumEntrySize || entrySize > kMaxEntrySize)
        return std::nullopt;
    std::vector<NoteArea> areas;
    std::vector<unsigned char> table;
    for (std::uint64_t first = 0; first < entryCount; first += kHeadersPerRead) {
        const std::uint64_t count = std::min(kHeadersPerRead, entryCount - first);
        if (!readAt(tableOffset + first * entrySize, count * entrySize, table)) break;
        for (std::uint64_t i = 0; i < count; ++i)
            if (const auto area = noteAreaOf(table.data() + i * entrySize)) areas.push_back(*area);
    }
    return searchAreas(areas);
}

std::optional<VersionWords> ElfReader::findInSections() {
    return searchTable(sectionTableOffset_, sectionCount_, sectionEntrySize_, is64_ ? 64 : 40,
                       [this](const unsigned char* s) -> std::optional<NoteArea> {
                           if (u32(s + 4) != kSectionTypeNote) return std::nullopt;
                           if (is64_) return NoteArea{u64(s + 24), u64(s + 32), u64(s + 48)};
                           return NoteArea{u32(s + 16), u32(s + 20), u32(s + 32)};
                       });
}

std::optional<VersionWords> ElfReader::findInSegments() {
    return searchTable(segmentTableOffset_, segmentCount_, segmentEntrySize_, is64_ ? 56 : 32,
                       [this](const unsigned char* p) -> std::optional<NoteArea> {
                           if (u32(p) != kSegmentTypeNote) return std::nullopt;
                           if (is64_) return NoteArea{u64(p + 8), u64(p + 32), u64(p + 48)};
                           return NoteArea{u32(p + 4), u32(p + 16), u32(p + 28)};
                       });
}

std::optional<VersionWords> ElfReader::searchAreas(const std::vector<NoteArea>& areas) {
    std::vector<unsigned char> data;
    for (const NoteArea& area : areas) {
        if (area.offset >= fileSize_) continue;
        // A note area cut off by the end of the file is read as far as it goes.
        std::uint64_t size = std::min(area.size, fileSize_ - area.offset);
        size = std::min(size, kMaxNoteAreaBytes);
        if (size > kNoteReadBudget - noteBytesRead_) break;
        noteBytesRead_ += size;
        if (!readAt(area.offset, size, data)) continue;
        if (auto words = searchNotes(data.data(), size, area.alignment == 8 ? 8 : 4)) return words;
    }
    return std::nullopt;
}

std::optional<VersionWords> ElfReader::searchNotes(const unsigned char* data, std::uint64_t size,
                                                   std::uint64_t alignment) const {
    const auto padded = [alignment](std::uint64_t n) {
        return (n + alignment - 1) / alignment * alignment;
    };
    std::uint64_t position = 0;
    while (size - position >= 12) {
        // Sizes are at most 2^32 - 1 and positions at most 2^20, so none of this overflows.
        const std::uint64_t ownerSize = u32(data + position);
        const std::uint64_t descriptorSize = u32(data + position + 4);
        const std::uint32_t type = u32(data + position + 8);
        const std::uint64_t ownerStart = position + 12;
        // Padding counts from the area's start, which the area's alignment keeps aligned.
        const std::uint64_t descriptorStart = padded(ownerStart + ownerSize);
        if (descriptorStart > size || descriptorSize > size - descriptorStart) break;
        if (type == kVersionNoteType && ownerSize == kOwnerSize &&
            std::memcmp(data + ownerStart, kVersionNoteOwner, kOwnerSize) == 0 &&
            descriptorSize == kVersionNoteDescriptorSize) {
            return VersionWords{u32(data + descriptorStart), u32(data + descriptorStart + 4)};
        }
        const std::uint64_t next = descriptorStart + padded(descriptorSize);
        if (next >= size) break;
        position = next;
    }
    return std::nullopt;
}

std::string versionText(const VersionWords& words) {
    return std::to_string(words.mostSignificant >> 16) + "." +
           std::to_string(words.mostSignificant & 0xffff) + "." +
           std::to_string(words.leastSignificant >> 16) + "." +
           std::to_string(words.leastSignificant & 0xffff);
}

}  // namespace

std::string getversion(const std::string& fileName) {
    // Non-blocking, so that a named pipe given as the file cannot hang the caller.
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return kUnknownVersion;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0)
        return kUnknownVersion;

    ElfReader reader(file.get(), static_cast<std::uint64_t>(status.st_size));
    if (!reader.readHeader()) return kUnknownVersion;
    // Section headers name every note; program headers still find it when the section table is
    // missing or damaged.
    std::optional<VersionWords> words = reader.findInSections();
    if (!words) words = reader.findInSegments();
    return words ? versionText(*words) : kUnknownVersion;
}

std::string aboutVersionText(const std::string& version) {
    const std::size_t dot = version.find('.');
    if (dot == std::string::npos) return "（版本未知）";
    return version.substr(0, dot + 2);
}

}  // namespace plumo
