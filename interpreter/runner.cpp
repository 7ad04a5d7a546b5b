#include "interpreter/runner.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/platform.h"
#include "interpreter/preprocess.h"
#include "interpreter/script.h"

namespace kivo::interpreter {

namespace {

[[noreturn]] void refuse(const EarlyRefusal& refusal) {
    console::message(refusal.notice);
    throw refusal.failure;
}

ScriptFailure lineFailure(std::string_view text) {
    return ScriptFailure{static_cast<int>(Fail::BadInstruction), std::string(text), false};
}

}  // namespace

std::optional<EarlyRefusal> refuseLongLine(std::size_t rawLength, std::string_view line) {
    if (rawLength <= kMaxLineLength) return std::nullopt;
    return EarlyRefusal{"Linia skryptu dluzsza niz " + std::to_string(kMaxLineLength) + " znaki\n",
                        lineFailure(line.substr(0, kMaxLineLength))};
}

std::optional<EarlyRefusal> refuseLongWords(std::string_view keyword, std::string_view argumentText,
                                            std::string_view prepared) {
    // The words of a line are held in fixed buffers of 260 bytes where scripts are written
    // for this language: longer ones are refused instead of being cut silently.
    if (keyword.size() > kMaxWordLength)
        return EarlyRefusal{"Komenda dluzsza niz " + std::to_string(kMaxWordLength) + " znakow\n", lineFailure(prepared)};
    if (argumentText.size() > kMaxWordLength)
        return EarlyRefusal{"Argumenty komendy dluzsze niz " + std::to_string(kMaxWordLength) + " znakow\n",
                            lineFailure(prepared)};
    return std::nullopt;
}

void runLine(Run& run, const Dispatcher& dispatcher, std::string& line) {
    if (preprocessLine(line, run.inBlockComment) < 0) return;
    std::string_view keyword, argumentText;
    if (!splitLine(line, keyword, argumentText)) return;
    if (auto refusal = refuseLongWords(keyword, argumentText, line)) refuse(*refusal);
    dispatcher.dispatchCommand(run, keyword, argumentText, line);
}

namespace {
void (*runStart)(Run&) = nullptr;
}  // namespace

void setRunStart(void (*start)(Run& run)) { runStart = start; }

void runScript(Interpreter& state, const std::string& path, CommandTable table) {
    Script script;
    if (!script.open(path)) {
        console::print(
            "Nie mozna otworzyc skryptu z komendami pliku: %s\n\nKeyed Interface Vector Operator kivo.exe v. "
            "1.2\nUzywaj:\n\t- bez parametrow: wykona domyslnie skrypt kivo.txt\n\t- z 1 parametrem: kivo.exe "
            "[nazwa skrytpu z komendami]\n",
            path.c_str());
        fail(Fail::Message);
    }
    Dispatcher dispatcher(table);
    Run run(state, script);
    if (runStart) runStart(run);
    std::string line;
    std::string_view read;
    std::size_t rawLength;
    try {
        while (script.readLine(read, rawLength)) {
            if (auto refusal = refuseLongLine(rawLength, read)) refuse(*refusal);
            line.assign(read);
            runLine(run, dispatcher, line);
            if (platform::stopRequested()) throw ScriptStopped{};
            if (run.endRun || script.atEnd()) break;
        }
    } catch (ScriptFailure& failure) {
        failure.line = script.lineNumber();
        throw;
    } catch (const std::bad_alloc&) {
        throw ScriptFailure{2, std::nullopt, false, script.lineNumber()};
    }
}

namespace {

// An editor that runs kivo asks for the failing line by number: the text of the line may
// stand on several lines. Standard output stays exactly as without the request.
void reportFailedLine(std::size_t line) {
    const char* wanted = std::getenv("KIVO_ERROR_LINE");
    if (line == 0 || !wanted || !*wanted || std::string_view(wanted) == "0") return;
    std::fprintf(stderr, "kivo-error-line: %zu\n", line);
    std::fflush(stderr);
}

int endWithFailure(const ScriptFailure& failure) {
    printFailure(failure);
    console::flush();
    reportFailedLine(failure.line);
    console::waitForKey();
    // All 32 bits set where the system keeps them (Windows); 255 where it keeps 8.
    return -1;
}

}  // namespace

int runMain(int argc, char** argv, CommandTable table) {
    platform::watchStopRequest();
    Interpreter state;
    const bool defaultScript = argc < 2;
    const std::string path = defaultScript ? "kivo.txt" : argv[1];
    try {
        console::print("Uruchamiam skrypt: %s\n", path.c_str());
        runScript(state, path, table);
        if (defaultScript) {
            console::print("Zakonczono wykonywanie skryptu, nacisnij dowolny klawisz\n");
            console::waitForKey();
        }
    } catch (const ScriptExit&) {
        console::flush();
        return 0;
    } catch (const ScriptStopped&) {
        console::flush();
        return kStoppedExitCode;
    } catch (const ScriptFailure& failure) {
        return endWithFailure(failure);
    } catch (const std::bad_alloc&) {
        // A buffer no handler expected to be short of: the run still ends the one way every
        // error ends, and the transport is still closed on the way out.
        return endWithFailure(ScriptFailure{2, std::nullopt, false});
    }
    console::flush();
    return 0;
}

}  // namespace kivo::interpreter
