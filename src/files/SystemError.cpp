#include "SystemError.h"

#include <cerrno>
#include <cstring>

namespace vk410 {

std::string ErrorWords(int error, FileAccess access)
{
    switch (error) {
    case ENOENT: return access == FileAccess::Write ? "нет такой папки" : "нет такого файла";
    case ENOTDIR: return "в пути файл вместо папки";
    case EACCES:
    case EPERM: return "нет доступа";
    case EROFS: return "диск только для чтения";
    case ENOSPC: return "нет места на диске";
#ifdef EDQUOT
    case EDQUOT: return "превышена дисковая квота";
#endif
    case EFBIG: return "превышен допустимый размер файла";
    case EISDIR: return "это папка";
    case EEXIST: return "на этом месте уже есть файл";
    case ENAMETOOLONG: return "слишком длинное имя";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case EIO: return "ошибка ввода-вывода";
#ifdef EPIPE
    case EPIPE: return "читающая сторона закрыта";
#endif
    default: break;
    }
    return error == 0 ? "причина неизвестна" : std::strerror(error);
}

} // namespace vk410
