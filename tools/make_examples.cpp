// Builds the example programs through the model and writes them into a
// folder (./examples by default; run it from the top of the tree):
//   make-examples [FOLDER]
#include <cstdio>
#include <filesystem>
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
    // The folder is not made here: run from elsewhere, the generator would
    // leave a second set of examples where nobody looks for them.
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr,
                     "make-examples: there is no folder %s here: run it from the top of the source tree\n"
                     "(build/make-examples writes ./examples), or name an existing folder\n",
                     folder.c_str());
        return 1;
    }
    int status = 0;
    for (const examples::Example& example : examples::ExamplePrograms()) {
        const std::string path = folder + "/" + example.name;
        const Result r = WriteSourceFile(example.program.model(), path);
        if (!r) {
            std::fprintf(stderr, "%s: %s (%s)\n", path.c_str(), r.message.c_str(), r.detail.c_str());
            status = 1;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return status;
}
