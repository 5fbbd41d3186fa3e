// The crash log: the report's text, the file's layout, and real throws and a real fault in a
// child process, whose offsets addr2line maps back to the functions that threw and faulted.
#include <elf.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

#include "components/crashlog/RipWriter.h"
#include "components/crashlog/StackReport.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

std::string ReportOf(std::string_view Message, time_t When, std::vector<uint32_t> Offsets) {
    char Room[4096];
    TFixedText Out(Room, sizeof Room);
    AddReport(Out, Message, When, Offsets.data(), Offsets.size());
    return std::string(Out.Text());
}

TEST(CrashReport, TextAndFullStopRule) {
    EXPECT_EQ(ReportOf("Connection lost", 0, {0x1A2B, 0xFFFFFFFF}),
              "Fault : Connection lost.\r\n"
              "Date/time : 01/01/70 00:00:00\r\n"
              "Stack dump\r\n"
              "----------\r\n"
              "00001A2B\r\n"
              "FFFFFFFF\r\n");
    const std::pair<std::string, bool> Stops[] = {
        {"", false},
        {".", false},
        {"a", true},
        {"a.", false},
        {std::string("a.\0b", 4), false},
        {std::string("a\0b.", 4), true},
    };
    for (const auto& [Message, Want] : Stops) EXPECT_EQ(NeedsFullStop(Message), Want) << Message;
    EXPECT_EQ(ReportOf("", 0, {}).substr(0, 10), "Fault : \r\n");
}

TEST(CrashReport, DatesWithoutTheCLibrary) {
    const std::pair<time_t, const char*> Cases[] = {
        {0, "01/01/70 00:00:00"},         {951782400, "02/29/00 00:00:00"},
        {951868799, "02/29/00 23:59:59"}, {4102444799, "12/31/99 23:59:59"},
        {-1, "12/31/69 23:59:59"},        {1709251199, "02/29/24 23:59:59"},
    };
    for (const auto& [When, Want] : Cases) {
        char Room[64];
        TFixedText Out(Room, sizeof Room);
        AddDateTime(Out, When);
        EXPECT_EQ(Out.Text(), Want) << When;
    }
}

TEST(CrashReport, OffsetsFromTheThrowerOnwardsInTheProgramsCode) {
    TakeCodeRange();
    const uintptr_t S = CodeRange().Start;
    ASSERT_LT(S, CodeRange().End);
    auto At = [&](uintptr_t Offset) { return reinterpret_cast<void*>(S + Offset); };
    void* Frames[] = {At(0x5),  At(0x10), At(0x10), reinterpret_cast<void*>(8),
                      At(0x20), At(0x10), At(0x20)};
    uint32_t Offsets[8];
    // From the thrower on; a frame repeating the one before it counts once.
    EXPECT_EQ(CodeOffsets(Frames, 7, S + 0x10, Offsets, 8), 4u);
    EXPECT_EQ(std::vector<uint32_t>(Offsets, Offsets + 4),
              (std::vector<uint32_t>{0x10, 0x20, 0x10, 0x20}));
    EXPECT_EQ(CodeOffsets(Frames, 7, S + 0x999, Offsets, 2), 2u);  // unknown: from the start
    EXPECT_EQ(Offsets[0], 0x5u);
}

TEST(CrashReport, EntriesAreSeparatedAndTheHeadComesOnce) {
    const std::string Path = testing::TempDir() + "crashlog-entries.rip";
    std::filesystem::remove(Path);
    SetRipTarget(Path, "Kestro 0.1", true);
    ResetRipHead();
    ASSERT_TRUE(AppendRipEntry("A\r\n"));
    ASSERT_TRUE(AppendRipEntry("B\r\n"));
    EXPECT_EQ(ReadFile(Path), "Kestro 0.1\r\n\r\nA\r\n\r\n\r\n\r\nB\r\n\r\n");
    // Without a component no head is due; without a name nothing is written.
    std::filesystem::remove(Path);
    SetRipTarget(Path, "Kestro 0.1", false);
    ResetRipHead();
    ASSERT_TRUE(AppendRipEntry("C\r\n"));
    EXPECT_EQ(ReadFile(Path), "C\r\n\r\n");
    SetRipTarget(testing::TempDir() + "missing/dir/x.rip", "", false);
    EXPECT_FALSE(AppendRipEntry("D\r\n"));
    std::filesystem::remove(Path);
}

// ---- the real thing, in a child process ----------------------------------------------------

class CrashLogChild : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-crashlog-XXXXXX";
        Dir = mkdtemp(Template);
        // The probe runs from the test's directory, so that its default file lands there.
        Probe = Dir + "/crash_probe";
        std::filesystem::copy_file(CRASH_PROBE, Probe);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    // Runs the probe in Dir; its wait status. Its standard output goes to Output.
    int Run(const std::string& Mode) {
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_addchdir_np(&Actions, Dir.c_str());
        const std::string Out = Dir + "/out.txt";
        posix_spawn_file_actions_addopen(&Actions, 1, Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        char* Argv[] = {Probe.data(), const_cast<char*>(Mode.c_str()), nullptr};
        pid_t Pid = 0;
        EXPECT_EQ(posix_spawn(&Pid, Probe.c_str(), &Actions, nullptr, Argv, environ), 0);
        posix_spawn_file_actions_destroy(&Actions);
        int Status = 0;
        waitpid(Pid, &Status, 0);
        Output = ReadFile(Out);
        return Status;
    }

    // The function names addr2line gives for the offsets (code-segment relative) of the probe.
    std::vector<std::string> FunctionsOf(const std::vector<uint32_t>& Offsets) {
        const uint64_t Base = CodeSegmentAddress(Probe);
        std::string Command = "addr2line -f -C -e " + Probe;
        char Hex[32];
        // A return address points behind its call: one byte back lies inside it.
        for (uint32_t Offset : Offsets) {
            std::snprintf(Hex, sizeof Hex, " 0x%llx", (unsigned long long)(Base + Offset - 1));
            Command += Hex;
        }
        std::vector<std::string> Names;
        FILE* Pipe = popen(Command.c_str(), "r");
        char Line[4096];
        for (int N = 0; Pipe && std::fgets(Line, sizeof Line, Pipe); ++N)
            if (N % 2 == 0) Names.push_back(std::string(Line, std::strcspn(Line, "\n")));
        if (Pipe) pclose(Pipe);
        return Names;
    }

    // The address the executable LOAD segment has in the file: what the offsets count from.
    static uint64_t CodeSegmentAddress(const std::string& File) {
        const std::string Bytes = ReadFile(File);
        Elf64_Ehdr Header;
        std::memcpy(&Header, Bytes.data(), sizeof Header);
        for (int N = 0; N < Header.e_phnum; ++N) {
            Elf64_Phdr Segment;
            std::memcpy(&Segment, Bytes.data() + Header.e_phoff + N * sizeof Segment,
                        sizeof Segment);
            if (Segment.p_type == PT_LOAD && (Segment.p_flags & PF_X)) return Segment.p_vaddr;
        }
        return 0;
    }

    static std::vector<uint32_t> OffsetsOf(const std::string& Report) {
        std::vector<uint32_t> Offsets;
        const size_t Dump = Report.find("----------\r\n");
        std::istringstream Lines(Report.substr(Dump + 12));
        std::string Line;
        while (std::getline(Lines, Line) && Line.size() == 9)
            Offsets.push_back(uint32_t(std::stoul(Line.substr(0, 8), nullptr, 16)));
        return Offsets;
    }

    std::string Dir;
    std::string Probe;
    std::string Output;
};

const std::string kReport =
    "Fault : ([^\\r\\n]*)\\r\\nDate/time : [^\\r\\n]+\\r\\nStack dump\\r\\n----------\\r\\n"
    "(?:[0-9A-F]{8}\\r\\n){1,48}";

TEST_F(CrashLogChild, ThrownExceptionsAreLoggedInTheRipLayout) {
    EXPECT_EQ(Run("throws"), 0);
    // What the previous handler saw: the message with its full stop, nothing behind it.
    EXPECT_EQ(Output,
              "inside: Handled inside.|report beside\n"
              "handled: Connection lost.|\n"
              "handled: |\n"
              "handled: Done.|\n");
    const std::string Rip = ReadFile(Dir + "/kestro.rip");
    const std::regex Layout("Kestro test run\\r\\n\\r\\n" + kReport + "\\r\\n\\r\\n\\r\\n" +
                            kReport + "\\r\\n\\r\\n\\r\\n" + kReport + "\\r\\n");
    std::smatch Match;
    ASSERT_TRUE(std::regex_match(Rip, Match, Layout)) << Rip;
    EXPECT_EQ(Match[1], "Connection lost.");
    EXPECT_EQ(Match[2], "");
    EXPECT_EQ(Match[3], "Done.");
    const std::vector<std::string> Names = FunctionsOf(OffsetsOf(Rip));
    ASSERT_FALSE(Names.empty());
    EXPECT_NE(Names[0].find("ThrowFromHere"), std::string::npos) << Names[0];
    std::string Walk;
    for (const std::string& N : Names) Walk += N + "\n";
    // An optimised build may move the call into main's cold part ("main.cold"): still main.
    EXPECT_TRUE(std::any_of(Names.begin(), Names.end(), [](const std::string& N) {
        return N == "main" || N.rfind("main.", 0) == 0;
    })) << Walk;
}

TEST_F(CrashLogChild, UnderADebuggerNothingIsHooked) {
    const pid_t Pid = fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) {
        // This test is the debugger: the probe starts traced.
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);  // the leak checker cannot run traced
        if (chdir(Dir.c_str()) != 0) _exit(126);
        char* Argv[] = {Probe.data(), const_cast<char*>("throws"), nullptr};
        execv(Probe.c_str(), Argv);
        _exit(127);
    }
    int Status = 0;
    // Every stop of the tracee (the exec, signals) is let go on until it exits.
    while (waitpid(Pid, &Status, 0) == Pid && WIFSTOPPED(Status)) {
        const int Signal = WSTOPSIG(Status) == SIGTRAP ? 0 : WSTOPSIG(Status);
        ptrace(PTRACE_CONT, Pid, nullptr, reinterpret_cast<void*>(intptr_t(Signal)));
    }
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0);
    EXPECT_FALSE(std::filesystem::exists(Dir + "/kestro.rip"));
}

TEST_F(CrashLogChild, FilteredExceptionsStayOutButReachThePreviousHandler) {
    EXPECT_EQ(Run("filter"), 0);
    EXPECT_NE(Output.find("handled: A secret.|\n"), std::string::npos) << Output;
    const std::string Rip = ReadFile(Dir + "/kestro.rip");
    EXPECT_EQ(Rip.find("secret"), std::string::npos);
    EXPECT_NE(Rip.find("Fault : Done."), std::string::npos);
}

TEST_F(CrashLogChild, WithoutAComponentTheFileIsNamedAfterTheProgram) {
    EXPECT_EQ(Run("default"), 0);
    const std::string Rip = ReadFile(Probe + ".RIP");
    EXPECT_EQ(Rip.rfind("Fault : Connection lost.\r\n", 0), 0u) << Rip;
    EXPECT_FALSE(std::filesystem::exists(Dir + "/kestro.rip"));
}

TEST_F(CrashLogChild, FatalSignalLeavesAFaultReport) {
    const int Status = Run("segv");
    ASSERT_TRUE(WIFSIGNALED(Status)) << Status;
    EXPECT_EQ(WTERMSIG(Status), SIGSEGV);
    const std::string Rip = ReadFile(Dir + "/kestro.rip");
    std::smatch Match;
    ASSERT_TRUE(std::regex_match(Rip, Match,
                                 std::regex("Kestro test run\\r\\n\\r\\n" + kReport + "\\r\\n")))
        << Rip;
    EXPECT_EQ(Match[1], "SIGSEGV (invalid memory access) at address 0000000000000010.");
    const std::vector<std::string> Names = FunctionsOf(OffsetsOf(Rip));
    ASSERT_GE(Names.size(), 2u);
    EXPECT_NE(Names[0].find("WriteThroughNull"), std::string::npos) << Names[0];
}

}  // namespace
