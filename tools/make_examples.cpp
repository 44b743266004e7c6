// Builds the example programs through the model and writes them into a
// folder (./examples by default; run it from the top of the tree):
//   make-examples [FOLDER]
#include <cstdio>
#include <string>

#include "example_programs.h"
#include "model/source_file.h"

int main(int argc, char** argv) {
    using namespace velmorin;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fputs("usage: make-examples [FOLDER]\n", stderr);
        return 2;
    }
    const std::string folder = argc == 2 ? argv[1] : "examples";
    int status = 0;
    for (const examples::Example& example : examples::ExamplePrograms()) {
        const std::string path = folder + "/" + example.name;
        const Result r = WriteSourceFile(example.program.model(), path);
        if (!r) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), r.message.c_str());
            status = 1;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return status;
}
