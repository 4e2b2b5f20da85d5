#pragma once
// The message sink of every benchmark: nothing is shown, and a benchmark that
// should have drawn or opened without a report can tell that one came.

#include "common/Platform.h"

namespace tolva::bench {

class CountedMessages : public MessageSink {
public:
    void show(const MessageReport&) override { ++shown; }
    int shown = 0;
};

} // namespace tolva::bench
