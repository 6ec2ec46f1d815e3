// Benchmark of the script image and the variable store (a program, not a test):
//   1. loading a compiled script of 20,000 statements, and reading every parameter of every
//      statement and every command header through the indexed look-ups;
//   2. expand over a store of 300 variables: texts with no reference, with a few references,
//      with a reference to the last variable, and with nested references.
// Prints the median of several runs of each. Run natively or under wine64.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "script_compiler.h"
#include "script_loader.h"
#include "source_tags.h"
#include "variable_store.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median wall time of `runs` calls of `body`, in microseconds.
double MedianMicroseconds(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        body();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A listing of `count` statements of the kinds a real setup is made of.
std::string LargeListing(int count) {
    std::string listing = "@title Benchmark\n@component ZOND-PREDEF-COMPONENT | 1\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 5) {
            case 0:
                listing += "Set Variable | VAR" + n + " | value $TARGETDIR$ " + n + "\n";
                break;
            case 1:
                listing += "If | VAR" + n + " | 0 | x | FALSE\n";
                break;
            case 2:
                listing += "End\n";
                break;
            case 3:
                listing +=
                    "Install Files | *.* | data" + n + " | $TARGETDIR$ | 1 | 0 | 0 | | | | | | \n";
                break;
            case 4:
                listing += "Write Registry | 0 | Software\\Bench | Name" + n + " | " + n + " | 1\n";
                break;
        }
    }
    return listing;
}

void BenchLoad() {
    constexpr int kStatements = 20000;
    const qorscript::Compiled compiled = qorscript::CompileListing(LargeListing(kStatements));
    if (!compiled.ok()) {
        std::printf("listing error: %s\n", compiled.errors.front().c_str());
        return;
    }
    std::size_t statements = 0;
    const double load = MedianMicroseconds(9, [&] {
        const ScriptLoad load = LoadScript(compiled.script);
        statements = load.image ? load.image->Statements.size() : 0;
    });
    const ScriptImage image = *LoadScript(compiled.script).image;
    std::size_t bytes = 0;
    const double lookups = MedianMicroseconds(9, [&] {
        for (const Statement& statement : image.Statements) {
            for (int n = 1; n <= 12; ++n) bytes += image.GetParameter(statement.Id, n).size();
            bytes += image.GetCommandHeader(statement.Index).size();
        }
    });
    std::printf("script of %zu statements, %zu bytes:\n", statements, compiled.script.size());
    std::printf("  LoadScript                                   %10.0f us\n", load);
    std::printf("  GetParameter 1..12 + GetCommandHeader, all   %10.0f us  (%.3f us per look-up)\n",
                lookups, lookups / (static_cast<double>(statements) * 13));
    if (bytes == 0) std::printf("  (no parameters read)\n");
}

void BenchExpand() {
    ProgressState flags;
    VariableStore store(flags);
    for (int i = 0; i < 300; ++i) {
        store.Declare("VARIABLE" + std::to_string(i), "value of " + std::to_string(i),
                      kTagInitialization);
    }
    store.Declare("NESTED", "[$VARIABLE1$|$VARIABLE150$|$VARIABLE299$]", kTagInitialization);
    store.Declare("OUTER", "<$NESTED$ $NESTED$>", kTagInitialization);
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"no reference", "C:\\Program Files\\Sample Product\\bin\\sample.exe"},
        {"three references", "$VARIABLE0$\\$VARIABLE100$\\$VARIABLE200$\\file.txt"},
        {"last variable", "prefix $VARIABLE299$ suffix"},
        {"undefined reference and a lone $", "$NOT_A_VARIABLE$ costs 5$"},
        {"nested, two levels", "$OUTER$"},
    };
    std::printf("expand over a store of %zu variables:\n", store.Entries().size());
    for (const auto& c : cases) {
        std::size_t length = 0;
        const double total = MedianMicroseconds(9, [&] {
            for (int i = 0; i < 1000; ++i) length += store.Expand(c.text).size();
        });
        std::printf("  %-36s %8.2f us per call\n", c.name, total / 1000);
    }
}

}  // namespace

int main() {
    BenchLoad();
    BenchExpand();
    return 0;
}
