#include "platform/VersionInfo.h"

VersionInfo programVersionInfo()
{
    return VersionInfo{QString::fromUtf8(KV8_PRODUCT_NAME), QString::fromUtf8(KV8_VERSION),
                       QString::fromUtf8(KV8_DESCRIPTION), QString::fromUtf8(KV8_LEGAL_NOTICE)};
}
