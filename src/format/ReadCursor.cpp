#include "format/ReadCursor.h"

bool ReadCursor::failAt(std::size_t offset, const std::string& expected) {
    if (!failure_.set) {
        failure_.set = true;
        failure_.offset = offset;
        failure_.section = section_;
        failure_.expected = expected;
    }
    return false;
}

bool ReadCursor::failNeed(std::size_t count) {
    return failAt(pos_, std::to_string(count) + (count == 1 ? " byte (" : " bytes (") +
                            std::to_string(remaining()) + " remain)");
}
