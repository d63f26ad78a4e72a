#pragma once

#include <cstdint>
#include <string>

namespace plumo {

// The build stamps the program's version into the executable as an ELF note (see
// cmake/Version.cmake): owner "Plumo", type 1, a descriptor of two 32-bit words in the file's
// byte order, the most significant one major << 16 | minor, the least significant one
// release << 16 | build.
inline constexpr char kVersionNoteOwner[] = "Plumo";
inline constexpr std::uint32_t kVersionNoteType = 1;
inline constexpr std::uint32_t kVersionNoteDescriptorSize = 8;

inline constexpr char kUnknownVersion[] = "unknown";

// The version stamped into the ELF file `fileName` as "major.minor.release.build", or "unknown"
// when there is no such file, it is not a readable ELF file, or it carries no version note.
// Reads only the headers and the note areas, so the cost does not grow with the file's size.
std::string getversion(const std::string& fileName);

// The version as the About text shows it: cut one character after its first "." ("1.0.0.0"
// gives "1.0", "2.15.3.0" gives "2.1", "10.2.0.0" gives "10.2"). A version without a "." (such
// as "unknown") gives a note that the version is not known.
std::string aboutVersionText(const std::string& version);

}  // namespace plumo
