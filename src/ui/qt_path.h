// File names between Qt and std::filesystem. On Linux a name is bytes in the locale's encoding
// (QFile::encodeName); on Windows it is UTF-16 on both sides, since QFile::encodeName there gives
// the ANSI code page, which cannot hold most names.
#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

namespace tierwise::ui {

inline QString fromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(path.c_str());
#endif
}

inline std::filesystem::path toPath(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return QFile::encodeName(name).toStdString();
#endif
}

}  // namespace tierwise::ui
