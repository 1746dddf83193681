#include "scripted_fixture.h"

namespace ktr610test {
namespace {

const Bytes kReset = { 0xD4, 0x18, 0x01 };
const Bytes kRf02 = { 0xD4, 0x32, 0x02, 0x00, 0x00, 0x00 };
const Bytes kRf05 = { 0xD4, 0x32, 0x05, 0x00, 0x00, 0x00 };
const Bytes kRf81 = { 0xD4, 0x32, 0x81, 0x8F };
const Bytes kWriteRegister = { 0xD4, 0x08, 0x63, 0x0D, 0x00 };
const Bytes kCheckRegisters = { 0xD4, 0x06, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0, 0x1E, 0xA0, 0x22,
                                0xA0, 0xCB, 0xA0, 0xCC, 0xA0, 0xCD, 0xA0, 0xCE };
const Bytes kReadAnalog = { 0xD4, 0x06, 0xA0, 0x1B, 0xA0, 0x1C, 0xA0, 0x1D, 0xA0, 0x1E,
                            0xA0, 0x1F, 0xA0, 0x20, 0xA0, 0x21, 0xA0, 0x22 };
const Bytes kAnalog = { 0x59, 0xF4, 0x3F, 0x11, 0x4D, 0x85, 0x61, 0x6F };

class Ktr610InitializeDevice : public Ktr610Scripted {
protected:
    void SetUp() override
    {
        Ktr610Scripted::SetUp();
        handle.flags = 12;
        line().answer({ 0xD5, 0x19 });
        line().answer({ 0xD5, 0x33 });
        line().answer({ 0xD5, 0x33 });
        line().answer({ 0xD5, 0x33 });
        line().answer({ 0xD5, 0x09, 0x00 });
    }

    // The frames written, ACKs left out.
    std::vector<Bytes> commands() const
    {
        std::vector<Bytes> out;
        for (const Bytes& w : line().writes) {
            if (w != ackBytes())
                out.push_back(w);
        }
        return out;
    }

    static std::vector<Bytes> frames(const std::vector<Bytes>& data)
    {
        std::vector<Bytes> out;
        for (const Bytes& d : data)
            out.push_back(frameOf(d));
        return out;
    }
};

TEST_F(Ktr610InitializeDevice, RegistersInStepNeedNoRewrite)
{
    handle.flags |= KTR610_FLAG_RF_OUT_OF_STEP;
    line().answer({ 0xD5, 0x07, 0xF4, 0x3F, 0x11, 0x6F, 0xF4, 0x3F, 0x11, 0x6F });
    ASSERT_EQ(ktr610_initialize_device(&handle, 100), KTR610_OK);
    EXPECT_EQ(commands(), frames({ kReset, kRf02, kRf05, kRf81, kWriteRegister, kCheckRegisters }));
    EXPECT_EQ(handle.flags, 12u | KTR610_FLAG_INIT_DONE);
}

TEST_F(Ktr610InitializeDevice, RegistersOutOfStepAreWrittenBackAsItem0B)
{
    line().answer({ 0xD5, 0x07, 0xF4, 0x3F, 0x11, 0x6F, 0xF4, 0x3F, 0x12, 0x6F });
    Bytes analog = { 0xD5, 0x07 };
    analog.insert(analog.end(), kAnalog.begin(), kAnalog.end());
    line().answer(analog);
    line().answer({ 0xD5, 0x33 });
    ASSERT_EQ(ktr610_initialize_device(&handle, 100), KTR610_OK);
    Bytes rewrite = { 0xD4, 0x32, 0x0B };
    rewrite.insert(rewrite.end(), kAnalog.begin(), kAnalog.end());
    EXPECT_EQ(commands(),
              frames({ kReset, kRf02, kRf05, kRf81, kWriteRegister, kCheckRegisters, kReadAnalog, rewrite }));
    EXPECT_EQ(handle.flags, 12u | KTR610_FLAG_INIT_DONE | KTR610_FLAG_RF_OUT_OF_STEP);
}

TEST_F(Ktr610InitializeDevice, ErrorFrameForTheRegisterCheckCountsAsInStep)
{
    handle.flags |= KTR610_FLAG_RF_OUT_OF_STEP;
    line().answer({ 0x7F });
    ASSERT_EQ(ktr610_initialize_device(&handle, 100), KTR610_OK);
    EXPECT_EQ(commands().size(), 6u);
    EXPECT_EQ(handle.flags, 12u | KTR610_FLAG_INIT_DONE);
}

TEST_F(Ktr610InitializeDevice, FirstFailingStepEndsTheSequence)
{
    line().arrivals.clear();
    line().answer({ 0xD5, 0x19 });
    line().answer({ 0xD5, 0x33 });
    line().answer({ 0xD5, 0x35 });  // wrong code for item 05
    EXPECT_EQ(ktr610_initialize_device(&handle, 100), KTR610_E_RESPONSE);
    EXPECT_EQ(commands(), frames({ kReset, kRf02, kRf05 }));
    EXPECT_EQ(handle.flags & KTR610_FLAG_INIT_MASK, 0u);

    // A register check answer of the wrong size is a bad response too.
    SetUp();
    line().answer({ 0xD5, 0x07, 1, 2, 3 });
    EXPECT_EQ(ktr610_initialize_device(&handle, 100), KTR610_E_RESPONSE);

    // So is a register write the chip answers with a non-zero status.
    line().reset();
    for (const Bytes& answer : { Bytes{ 0xD5, 0x19 }, Bytes{ 0xD5, 0x33 }, Bytes{ 0xD5, 0x33 }, Bytes{ 0xD5, 0x33 },
                                 Bytes{ 0xD5, 0x09, 0x01 } })
        line().answer(answer);
    EXPECT_EQ(ktr610_initialize_device(&handle, 100), KTR610_E_RESPONSE);
    EXPECT_EQ(commands(), frames({ kReset, kRf02, kRf05, kRf81, kWriteRegister }));
}

}  // namespace
}  // namespace ktr610test
