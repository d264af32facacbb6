#include "StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "core/ShowMessage.h"

namespace rolvik::cli {

bool FlushStandardOutput() {
    std::cout.flush();
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout) && std::cout.good()) {
        return true;
    }
    const int error = errno;
    std::string text = "Can't write standard output";
    if (error != 0) {
        text += std::string(": ") + std::strerror(error);
    }
    ShowMessage(text, "Error", MessageIcon::Error);
    return false;
}

}  // namespace rolvik::cli
