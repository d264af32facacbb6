#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "core/Smaf.h"

namespace rolvik::fuzz {

// A fuzz input given to the loader as a file image, the way the program loads a file it has
// read. Messages are dropped while it lives: a fuzz run would otherwise print thousands.
class LoadedInput {
    // Declared first, so that it is in place before anything else of the input is built.
    ScopedMessageHandler quiet_{[](std::string_view, std::string_view, MessageIcon) {}};

  public:
    LoadedInput(const std::uint8_t* data, std::size_t size) : smaf(CreateSmaf(0, 0)) {
        smaf->fileData.assign(data, data + size);
        loaded = LoadSmaf(*smaf);
    }

    // What the loader made of the input, loaded or not.
    std::unique_ptr<Smaf> smaf;
    bool loaded = false;
};

}  // namespace rolvik::fuzz
