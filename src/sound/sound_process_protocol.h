#pragma once

// What the companion and its sound process "plumo-sound" say to each other: one command a
// line on the sound process's standard input, nothing back. Plain C++: the sound process
// does without Qt.
//
//   open <path>   stops the sound that plays and takes the file (UTF-8, no newline)
//   play          plays the opened sound from its beginning
//   close         stops the sound that plays and lets go of it

namespace plumo {

// The sound process ends by itself after this long without a sound playing or a command;
// "plumo-sound --idle-ms N" sets another time.
inline constexpr int kSoundProcessIdleMs = 5000;
inline constexpr char kIdleOption[] = "--idle-ms";

// Its exit code when this machine cannot play sounds (GStreamer or the elements a sound
// needs are missing): the companion then does not start it again.
inline constexpr int kNoPlaybackExitCode = 3;

// When set, the sound process appends what it does, a line each, to the file it names.
inline constexpr char kSoundTraceVariable[] = "PLUMO_SOUND_TRACE";

inline constexpr char kOpenCommand[] = "open ";
inline constexpr char kPlayCommand[] = "play";
inline constexpr char kCloseCommand[] = "close";

}  // namespace plumo
