#pragma once

#include "scripted_line.h"

#include <gtest/gtest.h>

namespace ktr610test {

// A reader handle bound to the scripted line, opened on port 7.
class Ktr610Scripted : public ::testing::Test {
protected:
    void SetUp() override
    {
        line().reset();
        ASSERT_EQ(ktr610_initialize(&handle, &kScriptedTransport), KTR610_OK);
        handle.port = 7;
    }

    static ScriptedLine& line() { return ScriptedLine::get(); }

    // Runs a command with a 64-byte response buffer.
    uint32_t execute(const Bytes& command, Bytes* response = nullptr, uint32_t capacity = 64)
    {
        uint8_t buffer[300] = {};
        uint32_t len = 0;
        const uint32_t status = ktr610_execute_command(&handle, command.data(), static_cast<uint32_t>(command.size()),
                                                       capacity, buffer, &len, 100);
        if (response)
            response->assign(buffer, buffer + std::min<uint32_t>(len, capacity));
        lastLength = len;
        return status;
    }

    ktr610_t handle{};
    uint32_t lastLength = 0;
};

}  // namespace ktr610test
