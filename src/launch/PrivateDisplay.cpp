#include "launch/PrivateDisplay.h"

#include "launch/DisplayProbe.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

std::string PrivateDisplay::start()
{
    const std::string missing = "no display answers, and none of the game's own could be started for the replay "
                                "(it needs Xvfb, in the package xvfb)";
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return missing;
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return missing;
    }
    if (child == 0) {
        // It ends with the game, however the game ends, once the game has
        // let go of it (its windows and textures are closed last of all).
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        const int quiet = open("/dev/null", O_RDWR);
        if (quiet >= 0) {
            dup2(quiet, STDIN_FILENO);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
        }
        // The display's number is written to this descriptor once it answers.
        // -noreset: the check that it answers is its first client, and a
        // server that reset when that client left would refuse the game.
        const int fd = dup(ready[1]);
        const std::string number = std::to_string(fd);
        execlp("Xvfb", "Xvfb", "-displayfd", number.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0",
               "1024x768x24",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    std::string number;
    char c;
    while (read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (number.empty()) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        return missing;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return DisplayProbe::problem();
}
