// Runs update.exe the way a player does, answering its boxes, for the demo and
// the benchmark. Prints what it meets as UTF-8 lines on standard output:
//   BOX <icon> [<caption>] <text>       every message box, before it is answered
//   SNAP <name>                         (--snapshots DIR) then waits for DIR\<name>.ack
//   RESULT ...                          the run's figures (exit code, timings, memory);
//                                       prompt_seconds counts from the start to the prompt
//
// drive_update.exe --program PATH --workdir DIR [--answer yes|no|enter]...
//                  [--snapshots DIR] [--timeout SECONDS]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/ui_driver.h"
#include "support/utf8_text.h"

namespace {

struct C_process_figures {
    SIZE_T working_set = 0;
    SIZE_T peak_working_set = 0;
    double cpu_seconds = 0;
};

C_process_figures figures_of(HANDLE process)
{
    C_process_figures figures;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        figures.working_set = memory.WorkingSetSize;
        figures.peak_working_set = memory.PeakWorkingSetSize;
    }
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        auto seconds = [](const FILETIME& t) {
            return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
        };
        figures.cpu_seconds = seconds(kernel) + seconds(user);
    }
    return figures;
}

void say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Asks the script driving this tool to take a picture of the screen now, and
// waits until it says it has (or a while has passed).
void snapshot(const std::wstring& folder, const std::string& name)
{
    if (folder.empty()) return;
    say("SNAP " + name);
    const std::wstring ack = folder + L"\\" + std::wstring(name.begin(), name.end()) + L".ack";
    for (int i = 0; i < 300 && GetFileAttributesW(ack.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

struct C_find_dialog {
    DWORD process_id;
    HWND dialog;
};

BOOL CALLBACK find_progress_dialog(HWND window, LPARAM context)
{
    auto& find = *reinterpret_cast<C_find_dialog*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == find.process_id && GetDlgItem(window, 1002) && IsWindowVisible(window)) {
        find.dialog = window;
        return FALSE;
    }
    return TRUE;
}

// Waits until the overall bar has visibly moved, so that the picture shows the
// copy under way.
void wait_for_progress(HANDLE process)
{
    C_find_dialog find = {GetProcessId(process), nullptr};
    for (int i = 0; i < 400; ++i) {
        find.dialog = nullptr;
        EnumWindows(find_progress_dialog, reinterpret_cast<LPARAM>(&find));
        if (!find.dialog) return;
        DWORD_PTR position = 0;
        if (SendMessageTimeoutW(GetDlgItem(find.dialog, 1002), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 250,
                                &position) &&
            position >= 250) {
            return;
        }
        Sleep(10);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    C_run_options options;
    std::wstring snapshots;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring flag = argv[i], value = argv[i + 1];
        if (flag == L"--program") options.program = value;
        else if (flag == L"--workdir") options.working_dir = value;
        else if (flag == L"--snapshots") snapshots = value;
        else if (flag == L"--timeout") options.timeout_ms = static_cast<DWORD>(_wtoi(value.c_str())) * 1000;
        else if (flag == L"--answer") {
            options.answers.push_back(value == L"yes" ? box_answer::yes
                                      : value == L"no" ? box_answer::no
                                      : value == L"enter" ? box_answer::enter
                                                          : box_answer::ok);
        } else {
            std::fprintf(stderr, "unknown option %ls\n", flag.c_str());
            return 2;
        }
    }
    if (options.program.empty() || options.working_dir.empty()) {
        std::fprintf(stderr, "usage: drive_update --program PATH --workdir DIR [--answer yes|no|enter|ok]... "
                             "[--snapshots DIR] [--timeout SECONDS]\n");
        return 2;
    }
    // Every box after the given answers is a closing one: OK.
    for (int extra = 0; extra < 4; ++extra) options.answers.push_back(box_answer::ok);
    options.poll_ms = 5;
    options.follow_progress_dialog = false;

    C_process_figures at_prompt, at_end;
    options.before_answer = [&](HANDLE process, const C_box& box) {
        say("BOX " + std::string(icon_name(box.icon)) + " [" + to_utf8(box.caption) + "] " + quoted(box.text));
        const bool prompt = box.buttons.size() == 2;
        if (prompt) {
            at_prompt = figures_of(process);
            snapshot(snapshots, "prompt");
        } else if (box.text == expected::update_succeeded) {
            at_end = figures_of(process);
            snapshot(snapshots, "success");
        }
    };
    options.on_progress_shown = [&](HANDLE process) {
        if (snapshots.empty()) return;
        wait_for_progress(process);
        snapshot(snapshots, "progress");
    };

    C_run run = run_and_watch(options);
    // Unused answers are not a problem here: the run ends where the update ends.
    double copy_seconds = -1;
    double prompt_seconds = -1;
    for (std::size_t i = 0; i < run.boxes.size(); ++i) {
        // The prompt is the box with Yes; a box for a file in use has Retry.
        const std::vector<int>& buttons = run.boxes[i].box.buttons;
        if (prompt_seconds < 0 && !buttons.empty() && buttons.front() == IDYES) prompt_seconds = run.boxes[i].seen_at;
    }
    for (std::size_t i = 0; i + 1 < run.boxes.size(); ++i) {
        const std::vector<int>& buttons = run.boxes[i].box.buttons;
        if (!buttons.empty() && buttons.front() == IDYES && run.boxes[i + 1].box.text == expected::update_succeeded) {
            copy_seconds = run.boxes[i + 1].seen_at - run.boxes[i].answered_at;
        }
    }
    char line[340];
    std::snprintf(line, sizeof line,
                  "RESULT exited=%d exit_code=%lu boxes=%u prompt_seconds=%.3f copy_seconds=%.3f "
                  "working_set_at_prompt=%lu peak_working_set=%lu cpu_seconds_copy=%.3f",
                  run.exited ? 1 : 0, static_cast<unsigned long>(run.exit_code),
                  static_cast<unsigned>(run.boxes.size()), prompt_seconds, copy_seconds,
                  static_cast<unsigned long>(at_prompt.working_set), static_cast<unsigned long>(at_end.peak_working_set),
                  at_end.cpu_seconds - at_prompt.cpu_seconds);
    say(line);
    for (const auto& problem : run.problems) {
        if (problem.find("more were expected") == std::string::npos) say("PROBLEM " + problem);
    }
    return run.exited && run.exit_code == 0 ? 0 : 1;
}
