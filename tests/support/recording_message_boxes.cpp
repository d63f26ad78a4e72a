#include "support/recording_message_boxes.h"

namespace plumo::test {

RecordingMessageBoxes::RecordingMessageBoxes() : previous_(setCurrentMessageBoxes(this)) {}

RecordingMessageBoxes::~RecordingMessageBoxes() { setCurrentMessageBoxes(previous_); }

}  // namespace plumo::test
