// kivo-check SCRIPT...: marks the lines kivo would refuse before running them.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "language/check.h"

namespace {

constexpr const char* kHelp =
    "Uzywaj: kivo-check SKRYPT...\n"
    "Sprawdza skrypty kivo bez uruchamiania i wypisuje PLIK:LINIA: komunikat dla kazdej\n"
    "zaznaczonej linii.\n"
    "  - bledy: linie, ktore kivo odrzuci zanim je wykona, z komunikatem, ktory kivo wtedy wypisze\n"
    "    (nieznana komenda, zle lub brakujace pola argumentow, za dlugie linie i slowa),\n"
    "    oraz skoki do etykiet, ktorych skrypt nie definiuje;\n"
    "  - uwagi (\"Uwaga: ...\"): cudzyslow na koncu linii zostaje w tekscie, podkreslenie poza\n"
    "    cudzyslowem znika z nazwy pliku lub etykiety.\n"
    "Bledy, ktore kivo znajduje dopiero podczas pracy (plyta, pliki, wartosci argumentow),\n"
    "sa poza zasiegiem tego sprawdzenia.\n"
    "Kod wyjscia: 0 - nic nie zaznaczono, 1 - sa zaznaczone linie, 2 - pliku nie mozna przeczytac.\n";

bool readFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kHelp, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::string text;
        if (!readFile(argv[i], text)) {
            std::fprintf(stderr, "kivo-check: nie mozna przeczytac pliku: %s\n", argv[i]);
            status = 2;
            continue;
        }
        for (const kivo::language::Finding& f : kivo::language::checkScript(text)) {
            // The messages are the script's and kivo's bytes (Windows-1250), written unchanged.
            const std::string line =
                std::string(argv[i]) + ":" + std::to_string(f.line + 1) + ": " + kivo::language::oneLine(f.message) + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
            if (status == 0) status = 1;
        }
    }
    return status;
}
