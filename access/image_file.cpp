#include "access/image_file.h"

#include <vector>

#include "model/atomic_file.h"
#include "model/memory_map.h"

namespace zorvek {

ImageSave SaveImage(MemoryReader& source, const std::filesystem::path& file,
                    ProgressSink* progress) {
    ImageSave save;
    std::vector<std::uint8_t> image(memory_map::kImageSize);
    save.read =
        source.ReadMemory(memory_map::kStoredBank, image.data(), memory_map::kImageSize, progress);
    if (save.read) save.write = WriteFileAtomically(file, image);
    return save;
}

}  // namespace zorvek
