#include "transport/serial_config.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace transport {
namespace {

termios Cooked()
{
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_cflag = CS8 | CREAD | HUPCL;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    t.c_cc[VSTART] = 0x01;
    t.c_cc[VSTOP] = 0x02;
    return t;
}

struct FlowRow {
    int flow, dtr, rts;
    bool crtscts, xonxoff;
    int set, clear;
};

// One row per column of the flow-control table, with the DTR and RTS boxes on and off.
TEST(SerialConfig, OpenSerialFlowControlAndLines)
{
    const FlowRow rows[] = {
        {0, 1, 1, false, false, TIOCM_DTR | TIOCM_RTS, 0},
        {0, 0, 0, false, false, 0, TIOCM_DTR | TIOCM_RTS},
        {0, 0, 1, false, false, TIOCM_RTS, TIOCM_DTR},
        {1, 1, 1, false, true, TIOCM_DTR | TIOCM_RTS, 0},
        {1, 0, 0, false, true, 0, TIOCM_DTR | TIOCM_RTS},
        {2, 1, 0, true, false, TIOCM_DTR | TIOCM_RTS, 0},  // RTS handshakes whatever the box says
        {2, 0, 1, true, false, TIOCM_RTS, TIOCM_DTR},
        {7, 1, 0, true, false, TIOCM_DTR | TIOCM_RTS, 0},  // any other value is RTS/CTS too
        {0, 4, 5, false, false, TIOCM_RTS, TIOCM_DTR},     // only the two lowest bits count
    };
    for (const FlowRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "flow " << r.flow << " dtr " << r.dtr << " rts " << r.rts);
        auto plan = PlanOpenSerial(Cooked(), SerialSettings{9600, 'N', 8, 1, r.flow}, r.dtr, r.rts);
        ASSERT_TRUE(plan);
        EXPECT_EQ((plan->tio.c_cflag & CRTSCTS) != 0, r.crtscts);
        EXPECT_EQ((plan->tio.c_iflag & IXON) != 0, r.xonxoff);
        EXPECT_EQ((plan->tio.c_iflag & IXOFF) != 0, r.xonxoff);
        EXPECT_FALSE(plan->tio.c_iflag & IXANY);
        if (r.xonxoff) {
            EXPECT_EQ(plan->tio.c_cc[VSTART], 0x11);
            EXPECT_EQ(plan->tio.c_cc[VSTOP], 0x13);
        } else {
            EXPECT_EQ(plan->tio.c_cc[VSTART], 0x01);  // unchanged
            EXPECT_EQ(plan->tio.c_cc[VSTOP], 0x02);
        }
        EXPECT_EQ(plan->linesToSet, r.set);
        EXPECT_EQ(plan->linesToClear, r.clear);
    }
}

TEST(SerialConfig, OpenSerialFramingAndRawMode)
{
    auto plan = PlanOpenSerial(Cooked(), SerialSettings{19200, 'E', 7, 2, 0}, 1, 1);
    ASSERT_TRUE(plan);
    const termios& t = plan->tio;
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(cfgetispeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS7));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_FALSE(t.c_iflag & (ICRNL | INPCK | ISTRIP));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    auto odd = PlanOpenSerial(Cooked(), SerialSettings{115200, 'O', 6, 1, 0}, 1, 1);
    ASSERT_TRUE(odd);
    EXPECT_EQ(cfgetospeed(&odd->tio), B115200);
    EXPECT_EQ(odd->tio.c_cflag & (PARENB | PARODD), tcflag_t(PARENB | PARODD));
    EXPECT_EQ(odd->tio.c_cflag & CSIZE, tcflag_t(CS6));
    EXPECT_FALSE(odd->tio.c_cflag & CSTOPB);

    auto none = PlanOpenSerial(Cooked(), SerialSettings{1200, 'N', 8, 1, 0}, 1, 1);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->tio.c_cflag & PARENB);
    EXPECT_EQ(none->tio.c_cflag & CSIZE, tcflag_t(CS8));
}

TEST(SerialConfig, OpenSerialRefusesWhatThePortCannotDo)
{
    const SerialSettings bad[] = {
        {12345, 'N', 8, 1, 0}, {0, 'N', 8, 1, 0}, {9600, 'X', 8, 1, 0}, {9600, '\0', 8, 1, 0},
        {9600, 'N', 9, 1, 0},  {9600, 'N', 4, 1, 0}, {9600, 'N', 8, 0, 0}, {9600, 'N', 8, 3, 0},
    };
    for (const SerialSettings& s : bad) {
        SCOPED_TRACE(testing::Message() << s.baud << "," << s.parity << "," << s.dataBits << "," << s.stopBits);
        EXPECT_FALSE(PlanOpenSerial(Cooked(), s, 1, 1));
    }
}

TEST(SerialConfig, PlainOpenFromParameterTexts)
{
    struct Row {
        const char* text;
        speed_t speed;
        tcflag_t size;
        bool parity, odd, twoStops;
    };
    const Row rows[] = {
        // Four fields: the stop value lands in the unused fifth slot, so one stop bit.
        {"9600,N,8,1", B9600, CS8, false, false, false},
        {"9600,E,7,2, 0", B9600, CS7, true, false, true},
        {"19200,O,8,2, 2", B19200, CS8, true, true, true},
        {"4800,X,8,1, 0", B4800, CS8, false, false, false},  // unknown letter: no parity
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        SerialPlan plan = PlanOpenSerialPlain(Cooked(), PlainSettingsFromParams(r.text));
        const termios& t = plan.tio;
        EXPECT_EQ(cfgetospeed(&t), r.speed);
        EXPECT_EQ(t.c_cflag & CSIZE, r.size);
        EXPECT_EQ((t.c_cflag & PARENB) != 0, r.parity);
        EXPECT_EQ((t.c_cflag & PARODD) != 0, r.odd);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, r.twoStops);
        // CTS output flow, XON/XOFF both ways, DTR and RTS on, whatever the text says.
        EXPECT_TRUE(t.c_cflag & CRTSCTS);
        EXPECT_TRUE(t.c_iflag & IXON);
        EXPECT_TRUE(t.c_iflag & IXOFF);
        EXPECT_EQ(t.c_cc[VSTART], 0x11);
        EXPECT_EQ(t.c_cc[VSTOP], 0x13);
        EXPECT_EQ(plan.linesToSet, TIOCM_DTR | TIOCM_RTS);
        EXPECT_EQ(plan.linesToClear, 0);
        EXPECT_FALSE(t.c_lflag & ICANON);
    }
}

TEST(SerialConfig, PlainOpenKeepsWhatItCannotSet)
{
    // An unknown rate or data width is not an error here; the port keeps its own.
    SerialPlan plan = PlanOpenSerialPlain(Cooked(), PlainSettingsFromParams("12345,N,9,1"));
    EXPECT_EQ(cfgetospeed(&plan.tio), B38400);
    EXPECT_EQ(plan.tio.c_cflag & CSIZE, tcflag_t(CS8));
}

}  // namespace
}  // namespace transport
