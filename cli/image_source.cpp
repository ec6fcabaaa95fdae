#include "cli/image_source.h"

#include <system_error>

#include "cli/terminal.h"
#include "model/format_check.h"
#include "model/memory_map.h"

namespace zorvek::cli {

std::unique_ptr<OpenedImage> OpenImage(const std::filesystem::path& file, int& exitCode) {
    exitCode = 2;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        PrintErrorUtf8("Файл не найден: " + file.string());
        return nullptr;
    }
    const auto size = std::filesystem::file_size(file, error);
    if (error || size != memory_map::kImageSize) {
        PrintErrorUtf8("Файл " + file.string() + " не образ накопителя: его размер " +
                       std::to_string(size) + " байт, а образ занимает ровно 65536 байт.");
        return nullptr;
    }
    auto image = std::make_unique<OpenedImage>();
    image->choice.craneKind = 0;
    image->choice.startupArgument = file;
    if (!image->dispatch.OpenSource(SourceKind::DumpFile)) {
        image->dispatch.CloseSource();
        PrintErrorUtf8("Не удалось открыть файл " + file.string());
        return nullptr;
    }
    const FormatCheck format = CheckDataFormat(image->dispatch);
    if (!format.Accepted()) {
        exitCode = 3;
        if (format.readOk) {
            PrintError(FormatMismatchMessage(format.stored));
        } else {
            PrintErrorUtf8("Ошибка чтения данных");
        }
        return nullptr;
    }
    if (!image->dispatch.LoadPassportFromRecorder()) {
        PrintErrorUtf8("Ошибка чтения данных");
        return nullptr;
    }
    exitCode = 0;
    return image;
}

}  // namespace zorvek::cli
