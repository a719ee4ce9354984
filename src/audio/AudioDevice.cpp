#include "audio/AudioDevice.h"

#include "resources/QuietSfml.h"
#include "resources/ResourceFile.h"

#include <SFML/Audio/SoundBuffer.hpp>

#include <AL/alc.h>
#include <AL/alext.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

// SFML keeps the device open while any of its audio objects lives: this one
// lives from open() to close().
std::unique_ptr<sf::SoundBuffer> holder;

// While one lives, nothing reaches standard error: the audio libraries
// below SFML print their own lines when no device answers.
class Hush {
public:
    Hush()
    {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && nowhere >= 0)
            dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~Hush()
    {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            ::close(saved);
        }
    }
    Hush(const Hush&) = delete;
    Hush& operator=(const Hush&) = delete;

private:
    int saved = -1;
};

} // namespace

bool AudioDevice::open(std::string& why)
{
    if (holder)
        return true;
    Hush hush;
    QuietSfml quiet;
    holder = std::make_unique<sf::SoundBuffer>();
    if (alcGetCurrentContext() != nullptr)
        return true;
    holder.reset();
    why = "no audio device could be opened";
    return false;
}

void AudioDevice::close()
{
    Hush hush;
    holder.reset();
}

bool AudioDevice::isOpen()
{
    return holder != nullptr;
}

double AudioDevice::clock()
{
    ALCcontext* context = holder ? alcGetCurrentContext() : nullptr;
    ALCdevice* device = context ? alcGetContextsDevice(context) : nullptr;
    if (!device || !alcIsExtensionPresent(device, "ALC_SOFT_device_clock"))
        return -1;
    auto* get = reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
    if (!get)
        return -1;
    ALCint64SOFT nanoseconds = 0;
    get(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    return static_cast<double>(nanoseconds) / 1e6;
}

bool AudioDevice::readable(const std::string& path)
{
    return ResourceFile::isRegular(path) && ResourceFile::insideResources(path);
}
