#include "platform/Tick.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<uint32_t> tickOffset{0};
}

uint32_t systemTick()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms)) + tickOffset.load();
}

void setTickOffsetForTest(uint32_t offset)
{
    tickOffset.store(offset);
}
