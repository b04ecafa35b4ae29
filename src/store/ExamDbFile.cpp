#include "store/ExamDbFile.h"

#include "platform/Files.h"
#include "store/DatabaseError.h"

#include <QCryptographicHash>
#include <cstring>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace examdb {

const std::array<char, kMagicSize>& Magic() {
    static const std::array<char, kMagicSize> magic = {'Q', 'u', 'i', 'l', 'l', 'o', 'r', 'a',
                                                       ' ', 'E', 'x', 'a', 'm', 'D', 'B', '\0'};
    return magic;
}

Block PasswordVerifier(std::string_view password) {
    QByteArray seed("Quillora exam database verifier", 31);
    seed.append('\0');
    seed.append(password.data(), static_cast<qsizetype>(password.size()));
    const QByteArray a = QCryptographicHash::hash(seed, QCryptographicHash::Sha256);
    const QByteArray b = QCryptographicHash::hash(a, QCryptographicHash::Sha256);
    Block block{};
    std::memcpy(block.data(), a.constData(), 32);
    std::memcpy(block.data() + 32, b.constData(), kVerifierSize - 32);
    return block;
}

HeaderState ReadHeaderState(const std::string& path, std::string_view password) {
    if (!FileExists(path)) return HeaderState::Missing;
    std::array<char, kVerifierOffset + kVerifierSize> head{};
    if (ReadBlockAt(path, 0, head.data(), head.size()) != static_cast<long>(head.size()))
        return HeaderState::NotContainer;
    if (std::memcmp(head.data(), Magic().data(), kMagicSize) != 0) return HeaderState::NotContainer;
    const Block expected = PasswordVerifier(password);
    return std::memcmp(head.data() + kVerifierOffset, expected.data(), kVerifierSize) == 0
               ? HeaderState::Open
               : HeaderState::Closed;
}

namespace {
std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EDatabaseError("找不到文件 '" + path + "'。");
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The part file is made anew, so neither a leftover nor a link under its name
// is written through.
void writeAllThenRename(const std::string& target, const std::vector<char>& head, const char* data,
                        std::size_t size) {
    const std::string tmp = target + ".part";
    const size_t slash = tmp.rfind('/');
    const std::string folder = tmp.substr(0, slash + 1), name = tmp.substr(slash + 1);
    const int fd = CreateScratch(folder, name);
    if (fd < 0) throw EDatabaseError("无法写入文件 '" + tmp + "'。");
    ::close(fd);
    if (!WriteBlockAt(tmp, 0, head.data(), head.size()) || !WriteBlockAt(tmp, head.size(), data, size)) {
        DeleteInFolder(folder, name);
        throw EDatabaseError("无法写入文件 '" + tmp + "'。");
    }
    if (!ReplaceFile(tmp, target)) throw EDatabaseError("无法写入文件 '" + target + "'。");
}
} // namespace

void WriteContainer(const std::string& image, const std::string& target, const Block& block) {
    const std::vector<char> body = readAll(image);
    std::vector<char> head(kHeaderSize, '\0');
    std::memcpy(head.data(), Magic().data(), kMagicSize);
    std::memcpy(head.data() + kVerifierOffset, block.data(), kVerifierSize);
    writeAllThenRename(target, head, body.data(), body.size());
}

void ExtractImage(const std::string& source, const std::string& imagePath) {
    const std::vector<char> all = readAll(source);
    if (all.size() < kHeaderSize || std::memcmp(all.data(), Magic().data(), kMagicSize) != 0)
        throw EDatabaseError("无法识别的数据库格式 '" + source + "'。");
    writeAllThenRename(imagePath, {}, all.data() + kHeaderSize, all.size() - kHeaderSize);
}

} // namespace examdb
