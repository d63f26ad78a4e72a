#include "sound/qt_media_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QMediaDevices>
#include <QPluginLoader>
#include <QUrl>

namespace plumo {

namespace {

const QString kGStreamerBackend = QStringLiteral("gstreamer");

// The names of the media back ends that can be loaded here, with their plugin files.
QMultiMap<QString, QString> installedMediaBackends() {
    QMultiMap<QString, QString> backends;
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir plugins(folder + QStringLiteral("/multimedia"));
        for (const QString& file : plugins.entryList(QDir::Files)) {
            const QString path = plugins.filePath(file);
            const QJsonObject metaData = QPluginLoader(path).metaData();
            if (!metaData.value(QStringLiteral("IID"))
                     .toString()
                     .endsWith(QStringLiteral(".QPlatformMediaPlugin")))
                continue;
            const QJsonArray keys = metaData.value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const QJsonValue& key : keys) backends.insert(key.toString(), path);
        }
    }
    return backends;
}

}  // namespace

QtMediaPlayer::QtMediaPlayer() { player_.setAudioOutput(&output_); }

QtMediaPlayer::~QtMediaPlayer() { close(); }

void QtMediaPlayer::open(const QString& path) {
    // Stopping first also rewinds, so opening the same file again plays it from the start.
    player_.stop();
    player_.setSource(QUrl::fromLocalFile(path));
}

void QtMediaPlayer::play() { player_.play(); }

void QtMediaPlayer::close() {
    player_.stop();
    player_.setSource(QUrl());
}

bool qtMediaPlaybackAvailable() {
    const QMultiMap<QString, QString> backends = installedMediaBackends();
    // Qt takes the back end named by QT_MEDIA_BACKEND, else its default: GStreamer on Linux.
    QString backend = qEnvironmentVariable("QT_MEDIA_BACKEND");
    if (backend.isEmpty())
        backend = backends.contains(kGStreamerBackend) || backends.isEmpty() ? kGStreamerBackend
                                                                             : backends.firstKey();
    bool loadable = false;
    for (const QString& path : backends.values(backend)) {
        // Loading a plugin also loads what it needs (GStreamer, FFmpeg); Qt keeps it.
        QPluginLoader plugin(path);
        if (plugin.load()) {
            loadable = true;
            break;
        }
    }
    if (!loadable) return false;
    // The GStreamer back end plays silently to the end without an audio output.
    return backend == kGStreamerBackend || !QMediaDevices::audioOutputs().isEmpty();
}

std::unique_ptr<Player> makeQtMediaPlayer() {
    if (!qtMediaPlaybackAvailable()) return nullptr;
    return std::make_unique<QtMediaPlayer>();
}

}  // namespace plumo
