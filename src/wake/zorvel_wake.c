/* zorvel-wake: holds one wake-up timer of the real-time clock for Zorvel, so that a sleeping
 * computer wakes for the next alarm. It needs the CAP_WAKE_ALARM capability and nothing else,
 * and is meant to carry it as a file capability (setcap cap_wake_alarm+ep).
 *
 * Line protocol, one command a line on standard input, one answer a line on standard output:
 *   (at start)           ready                  or   refused <reason>   (and the program ends)
 *   arm <seconds>        armed <seconds>        the wake-up, in seconds since the epoch
 *   disarm               disarmed
 *   (the timer fires)    fired <seconds>
 *   anything else        error <reason>
 * The program ends when its standard input closes; the timer goes with it.
 *
 * --realtime uses CLOCK_REALTIME instead of CLOCK_REALTIME_ALARM: the same protocol without
 * waking anything and without the capability, for tests. */
#define _GNU_SOURCE
#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

enum { kLineMax = 128 };

static void answer(const char* text) {
    fputs(text, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

/* A decimal number of seconds: digits only, no sign, no spaces, within range. */
static int parse_seconds(const char* text, long long* out) {
    if (*text == '\0' || strlen(text) > 18)
        return 0;
    long long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        value = value * 10 + (*p - '0');
    }
    if ((long long)(time_t)value != value)
        return 0;
    *out = value;
    return 1;
}

static void command(int timer, char* line, long long* armed) {
    char reply[kLineMax + 32];
    long long at = 0;
    if (strncmp(line, "arm ", 4) == 0) {
        if (!parse_seconds(line + 4, &at)) {
            answer("error not a number of seconds");
            return;
        }
        struct itimerspec when;
        memset(&when, 0, sizeof when);
        when.it_value.tv_sec = (time_t)at;
        /* 0 would disarm: the epoch itself is long past, so any past moment fires at once. */
        if (at == 0)
            when.it_value.tv_nsec = 1;
        if (timerfd_settime(timer, TFD_TIMER_ABSTIME, &when, NULL) != 0) {
            snprintf(reply, sizeof reply, "error %s", strerror(errno));
            answer(reply);
            return;
        }
        *armed = at;
        snprintf(reply, sizeof reply, "armed %lld", at);
        answer(reply);
    } else if (strcmp(line, "disarm") == 0) {
        struct itimerspec none;
        memset(&none, 0, sizeof none);
        timerfd_settime(timer, TFD_TIMER_ABSTIME, &none, NULL);
        *armed = -1;
        answer("disarmed");
    } else {
        answer("error unknown command");
    }
}

int main(int argc, char** argv) {
    clockid_t clock = CLOCK_REALTIME_ALARM;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--realtime") == 0) {
            clock = CLOCK_REALTIME;
        } else {
            fprintf(stderr, "usage: zorvel-wake [--realtime]  (commands on standard input)\n");
            return 2;
        }
    }
    int timer = timerfd_create(clock, TFD_CLOEXEC | TFD_NONBLOCK);
    if (timer < 0) {
        const int error = errno;
        if (error == EPERM) {
            fprintf(stderr,
                    "zorvel-wake: no permission to wake the computer. This program needs the "
                    "CAP_WAKE_ALARM capability; grant it with:\n"
                    "  sudo setcap cap_wake_alarm+ep %s\n",
                    argv[0]);
            answer("refused CAP_WAKE_ALARM");
            return 3;
        }
        fprintf(stderr, "zorvel-wake: cannot make a wake-up timer: %s\n", strerror(error));
        char reply[160];
        snprintf(reply, sizeof reply, "refused %s", strerror(error));
        answer(reply);
        return 4;
    }
    answer("ready");

    char line[kLineMax + 1];
    size_t used = 0;
    int overlong = 0;
    long long armed = -1;
    for (;;) {
        struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {timer, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return 1;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t expirations = 0;
            if (read(timer, &expirations, sizeof expirations) == (ssize_t)sizeof expirations) {
                char reply[48];
                snprintf(reply, sizeof reply, "fired %lld", armed);
                answer(reply);
                armed = -1;
            }
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char chunk[256];
        const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return 0; /* the program that asked has gone: so does the wake-up */
        for (ssize_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            if (c != '\n') {
                if (used < kLineMax)
                    line[used++] = c;
                else
                    overlong = 1;
                continue;
            }
            line[used] = '\0';
            if (used > 0 && line[used - 1] == '\r')
                line[used - 1] = '\0';
            if (overlong)
                answer("error line too long");
            else
                command(timer, line, &armed);
            used = 0;
            overlong = 0;
        }
    }
}
