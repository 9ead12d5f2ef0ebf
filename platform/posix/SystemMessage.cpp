#include "SystemMessage.h"

#include <cerrno>
#include <cstring>

#include "../Text.h"

namespace platform::posix {

std::wstring SystemMessage(int error) {
    switch (error) {
        case ENOENT:
            return L"ファイルが見つかりません";
        case EACCES:
        case EPERM:
            return L"アクセスが拒否されました (実行の権限がありません)";
        case EISDIR:
            return L"ファイルではなくフォルダーです";
        case ENOTDIR:
            return L"パスの途中にフォルダーではないものがあります";
        case ENOEXEC:
            return L"実行できる形式のファイルではありません";
        case ENAMETOOLONG:
            return L"パスが長すぎます";
        case ETXTBSY:
            return L"ファイルが書き込み中のため実行できません";
        case ENOMEM:
        case EAGAIN:
            return L"システムの資源が足りません";
        default:
            return FromUtf8(std::strerror(error));
    }
}

}  // namespace platform::posix
