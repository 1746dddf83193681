// The simulated reader's control commands, and its program driving a reader stack the way
// the simulated board uses it.
#include "control_command.h"
#include "ktr610_uart.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using vnq::sim::CardField;
using vnq::sim::ControlCommand;
using vnq::sim::Fault;
using vnq::sim::parseControlCommand;

struct ParseCase {
    const char* line;
    bool ok;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << '"' << c.line << '"';
}

class ControlLines : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ControlLines, AreAcceptedOrRefused)
{
    std::string error;
    const auto command = parseControlCommand(GetParam().line, &error);
    EXPECT_EQ(command.has_value(), GetParam().ok) << GetParam().line;
    EXPECT_EQ(error.empty(), GetParam().ok) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ControlLines,
    ::testing::Values(ParseCase{ "felica 0123456789abcdef", true }, ParseCase{ "felica 0123456789ABCDEF 00F1000000014300", true },
                      ParseCase{ "felica 0123456789abcde", false }, ParseCase{ "felica 0123456789abcdeg", false },
                      ParseCase{ "felica", false }, ParseCase{ "typea 04a1b2c3", true },
                      ParseCase{ "typea 04112233445566", true }, ParseCase{ "typea 04010203040506070809", true },
                      ParseCase{ "typea 0401020304", false }, ParseCase{ "typea 04a1b2c3 0578807002", true },
                      ParseCase{ "none", true }, ParseCase{ "none now", false }, ParseCase{ "fault silence", true },
                      ParseCase{ "fault baddcs 3", true }, ParseCase{ "fault baddcs 0", false },
                      ParseCase{ "fault wobble", false }, ParseCase{ "quit", true }, ParseCase{ "", false },
                      ParseCase{ "reboot", false }));

TEST(ControlCommands, CarryTheirValues)
{
    std::string error;
    auto felica = parseControlCommand("felica 0102030405060708", &error);
    ASSERT_TRUE(felica);
    EXPECT_EQ(felica->field.kind, CardField::Kind::Felica);
    EXPECT_EQ(felica->field.idm[7], 0x08);
    EXPECT_EQ(felica->field.pmm, vnq::sim::kDefaultPmm);

    auto typeA = parseControlCommand("typea 04a1b2c3 0578", &error);
    ASSERT_TRUE(typeA);
    EXPECT_EQ(typeA->field.typeAId, (std::vector<uint8_t>{ 0x04, 0xA1, 0xB2, 0xC3 }));
    EXPECT_EQ(typeA->field.typeAExtra, (std::vector<uint8_t>{ 0x05, 0x78 }));

    auto fault = parseControlCommand("fault split 2", &error);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, ControlCommand::Kind::Fault);
    EXPECT_EQ(fault->fault, Fault::Split);
    EXPECT_EQ(fault->count, 2);
}

// ---- The program ----------------------------------------------------------------------------

struct ProgramRun {
    int status = -1;
    std::string output;
};

// Starts the program with args; the child dies with the test process.
pid_t spawn(const std::vector<std::string>& args, int* outFd)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(VNQ_SIM_READER_PROGRAM, argv.data());
        _exit(127);
    }
    close(out[1]);
    *outFd = out[0];
    return pid;
}

std::string readLine(int fd)
{
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

ProgramRun send(const std::string& command)
{
    std::vector<std::string> args = { "vnq_sim_reader", "send" };
    args.push_back(command);
    int out = -1;
    const pid_t pid = spawn(args, &out);
    ProgramRun run;
    run.output = readLine(out);
    close(out);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

uint32_t pollFelica(const std::string& port, std::vector<uint8_t>* answer)
{
    ktr610_t reader{};
    uint32_t status = ktr610_uart_open(&reader, port.c_str());
    if (status != KTR610_OK)
        return status;
    const uint8_t polling[] = { 0xD4, 0x4A, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00 };
    uint8_t buffer[128];
    uint32_t len = 0;
    // Answered by another process: a time-out no loaded machine's late answer reaches.
    status = ktr610_execute_command(&reader, polling, sizeof polling, sizeof buffer, buffer, &len, 5000);
    answer->assign(buffer, buffer + (status == KTR610_OK ? len : 0));
    ktr610_close(&reader);
    return status;
}

TEST(SimReaderProgram, ServesTheBoardRootAndTakesCommands)
{
    alarm(60);  // a hung exchange or server fails the test instead of stalling the suite
    vnq::test::TempBoardRoot root;
    ASSERT_TRUE(root.makeDir("/dev") && root.makeDir("/tmp"));
    int out = -1;
    const pid_t server = spawn({ "vnq_sim_reader" }, &out);
    ASSERT_GT(server, 0);
    const std::string banner = readLine(out);  // printed once the line and socket are up
    EXPECT_NE(banner.find(root.path("/dev/ttyS0").toStdString()), std::string::npos) << banner;
    const std::string port = root.path("/dev/ttyS0").toStdString();

    std::vector<uint8_t> answer;
    ASSERT_EQ(pollFelica(port, &answer), KTR610_OK);
    EXPECT_EQ(answer, (std::vector<uint8_t>{ 0xD5, 0x4B, 0x00 }));

    const ProgramRun felica = send("felica 0102030405060708");
    EXPECT_EQ(felica.status, 0);
    EXPECT_EQ(felica.output, "ok");
    ASSERT_EQ(pollFelica(port, &answer), KTR610_OK);
    ASSERT_EQ(answer.size(), 24u);
    EXPECT_EQ(answer[6], 0x01);
    EXPECT_EQ(answer[13], 0x08);

    const ProgramRun bad = send("felica 01");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output.rfind("error ", 0), 0u) << bad.output;

    // A closed line is replaced by a fresh one at the same link.
    EXPECT_EQ(send("fault close 1").status, 0);
    EXPECT_EQ(pollFelica(port, &answer), KTR610_E_SYSCALL);
    ASSERT_EQ(pollFelica(port, &answer), KTR610_OK);
    EXPECT_EQ(answer.size(), 24u);

    EXPECT_EQ(send("quit").status, 0);
    int status = 0;
    ASSERT_EQ(waitpid(server, &status, 0), server);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(root.exists("/dev/ttyS0"));
    EXPECT_FALSE(root.exists("/tmp/vnq_sim_reader.ctl"));
    close(out);
    alarm(0);
}

TEST(SimReaderProgram, RefusesToRunWithoutABoardRoot)
{
    unsetenv("VNQ_ROOT");
    int out = -1;
    const pid_t pid = spawn({ "vnq_sim_reader" }, &out);
    close(out);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
