#include "flows/failure_text.h"

#include <cerrno>

#include "model/cp1251.h"

namespace zorvek {
namespace {

const char* SystemErrorText(int error) {
    switch (error) {
        case ENOENT:
            return "нет такого файла или папки";
        case EACCES:
        case EPERM:
            return "нет прав доступа";
        case EBUSY:
            return "устройство занято другой программой";
        case EISDIR:
            return "это папка, а не файл";
        case ENODEV:
        case ENXIO:
            return "нет такого устройства";
        case ENOSPC:
            return "нет места на диске";
        case EFBIG:
            return "недопустимый размер файла";
        case EROFS:
            return "диск только для чтения";
        case ENOTDIR:
            return "в пути к файлу не папка";
        case ENAMETOOLONG:
            return "слишком длинное имя файла";
        case EEXIST:
            return "временное имя файла занято";
        case ENOTTY:
            return "это не последовательный порт";
        case ENOTSUP:
            return "в этой системе не поддерживается";
        default:
            return nullptr;
    }
}

// The serial search's own reason: the ports' names as the user knows them,
// not the last port's.
std::string NoRecorderText(int openError) {
    if (openError == 0) return Cp1251FromUtf8("прибор не ответил ни на одном из портов COM1–COM8");
    if (openError == ENOENT || openError == ENODEV || openError == ENXIO) {
        return Cp1251FromUtf8("в системе нет ни одного из портов COM1–COM8");
    }
    std::string text = "не открылся ни один из портов COM1–COM8";
    if (const char* reason = SystemErrorText(openError)) text += std::string(": ") + reason;
    return Cp1251FromUtf8(text);
}

}  // namespace

std::string FailureText(const TransferResult& result) {
    if (result.Error() == TransferError::NoRecorder) return NoRecorderText(result.SystemError());
    if (const char* text = SystemErrorText(result.SystemError())) return Cp1251FromUtf8(text);
    std::string text;
    switch (result.Error()) {
        case TransferError::None:
            text = "без ошибок";
            break;
        case TransferError::NotOpen:
            text = "источник данных не открыт";
            break;
        case TransferError::OutOfRange:
            text = "адрес за пределами данных";
            break;
        case TransferError::NoAnswer:
            text = "прибор не отвечает";
            break;
        case TransferError::BadChecksum:
            text = "ошибка контрольной суммы при передаче";
            break;
        case TransferError::NotAcknowledged:
            text = "прибор не подтвердил приём";
            break;
        case TransferError::DeviceGone:
            text = "прибор отключён";
            break;
        case TransferError::Refused:
            text = "доступ к устройству отклонён";
            break;
        case TransferError::IoError:
            text = "ошибка ввода-вывода";
            break;
        case TransferError::Cancelled:
            text = "отменено";
            break;
        case TransferError::NoRecorder:
            break;  // worded above
    }
    if (result.SystemError() != 0) text += " (код " + std::to_string(result.SystemError()) + ")";
    return Cp1251FromUtf8(text);
}

std::string PassportFileFailureText(const TransferResult& result) {
    if (result.Error() == TransferError::OutOfRange) {
        return Cp1251FromUtf8("он больше 1 МиБ, это не файл паспорта");
    }
    return FailureText(result);
}

bool IsMissingFile(const TransferResult& result) { return result.SystemError() == ENOENT; }

}  // namespace zorvek
