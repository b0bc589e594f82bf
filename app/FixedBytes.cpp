#include "app/FixedBytes.h"

#include "platform/Cp932.h"

#include <cstring>

void StrToFixedBytes(const QString &text, uint8_t *buffer, int count)
{
    if (count <= 0)
        return;
    const QByteArray bytes = unicodeToCp932(text);
    if (count > bytes.size()) {
        std::memset(buffer, 0, static_cast<size_t>(count));
        std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
    } else {
        std::memcpy(buffer, bytes.constData(), static_cast<size_t>(count));
    }
}
