#include "access/image_file.h"

#include <vector>

#include "model/atomic_file.h"
#include "model/memory_map.h"

namespace zorvek {

bool SaveImage(MemoryReader& source, const std::filesystem::path& file, ProgressSink* progress) {
    std::vector<std::uint8_t> image(memory_map::kImageSize);
    if (!source.ReadMemory(memory_map::kStoredBank, image.data(), memory_map::kImageSize,
                           progress)) {
        return false;
    }
    return WriteFileAtomically(file, image);
}

}  // namespace zorvek
