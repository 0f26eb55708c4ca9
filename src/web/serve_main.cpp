// The server of `zuva serve`: the terminal program hands its arguments after "serve" to this
// program (same folder), which alone links the HTTP library.
#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "text/i18n.h"
#include "web/server.h"

int main(int argc, char** argv) {
    // As in the terminal program: large blocks mapped on their own and given back when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // The server's own messages in the language of the environment (each page is in its
    // visitor's language).
    zuva::use_environment_language();
    std::vector<std::string> args(argv + 1, argv + argc);
    return zuva::web::serve_command(args, std::cout, std::cerr);
}
