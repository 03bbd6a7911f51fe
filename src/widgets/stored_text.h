#pragma once

#include <QString>
#include <string>

#include "storage/text_codec.h"

namespace zorvel {

// Stored text (GB18030) as the windows show it, and back.
inline QString FromStoredText(const std::string& stored) {
    return QString::fromStdU16String(FromStored(stored));
}

inline std::string ToStoredText(const QString& text) {
    return ToStored(text.toStdU16String());
}

}  // namespace zorvel
