/* Prints the X server's gamma ramp, an outside witness of what a Windows program set with
 * SetDeviceGammaRamp under Wine (the ramp stays in the server after the program exits).
 *
 *   gammaread [-d DISPLAY] [-s SCREEN] [INDEX...]
 *   gammaread [-d DISPLAY] [-s SCREEN] -t [INDEX VALUE] -- COMMAND [ARGUMENT...]
 *
 * Output, one line each:
 *   size N
 *   red v0 v1 ... (N values, or only the values at the given indexes, in the given order)
 *   green ...
 *   blue ...
 * Values are the server's 16-bit entries. Exit status: 0 read, 1 no display or no ramp, 2 usage.
 *
 * With -t it times COMMAND instead, from just before it starts: "ramp MS" when red[INDEX] first
 * reads VALUE (watched every millisecond; "ramp -" when it never does), then "exit MS STATUS" when
 * COMMAND has ended. It waits at most 60 s for either.
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static void usage(void)
{
    fprintf(stderr, "usage: gammaread [-d DISPLAY] [-s SCREEN] [INDEX...]\n"
                    "       gammaread [-d DISPLAY] [-s SCREEN] -t [INDEX VALUE] -- COMMAND [ARGUMENT...]\n");
}

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* -t: runs argv[0..] and watches red[index] for value (index < 0: nothing to watch). */
static int time_command(Display *dpy, int screen, int size, long index, long value, char **command)
{
    unsigned short *ramp = calloc((size_t)size * 3, sizeof *ramp);
    if (!ramp)
        return 1;
    const double start = now_ms();
    const pid_t child = fork();
    if (child < 0) {
        free(ramp);
        return 1;
    }
    if (child == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    int seen = index < 0, ended = 0, status = 0;
    while (!(seen && ended) && now_ms() - start < 60000.0) {
        if (!seen && XF86VidModeGetGammaRamp(dpy, screen, size, ramp, ramp + size, ramp + 2 * size) &&
            ramp[index] == value) {
            printf("ramp %.1f\n", now_ms() - start);
            seen = 1;
        }
        if (!ended && waitpid(child, &status, WNOHANG) == child) {
            ended = 1;
            printf("exit %.1f %d\n", now_ms() - start, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        }
        const struct timespec pause = {0, 1000000};
        nanosleep(&pause, NULL);
    }
    if (!seen)
        printf("ramp -\n");
    free(ramp);
    return seen && ended ? 0 : 1;
}

static int parse_index(const char *text, long *out)
{
    char *end = NULL;
    errno = 0;
    long v = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 0)
        return 0;
    *out = v;
    return 1;
}

static void print_channel(const char *name, const unsigned short *ramp, int size,
                          const long *indexes, int count)
{
    printf("%s", name);
    if (count == 0) {
        for (int i = 0; i < size; ++i)
            printf(" %u", (unsigned)ramp[i]);
    } else {
        for (int i = 0; i < count; ++i)
            printf(" %u", (unsigned)ramp[indexes[i]]);
    }
    printf("\n");
}

int main(int argc, char **argv)
{
    const char *display_name = NULL;
    int screen = -1;
    long *indexes = calloc((size_t)argc, sizeof *indexes);
    int count = 0;
    int timing = 0;
    char **command = NULL;
    if (!indexes)
        return 1;

    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--") == 0) {
            command = argv + i + 1;
            break;
        }
        if (strcmp(argv[i], "-d") == 0 && i + 1 < argc) {
            display_name = argv[++i];
        } else if (strcmp(argv[i], "-s") == 0 && i + 1 < argc) {
            long s;
            if (!parse_index(argv[++i], &s)) { usage(); free(indexes); return 2; }
            screen = (int)s;
        } else if (strcmp(argv[i], "-t") == 0) {
            timing = 1;
        } else if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            usage();
            free(indexes);
            return 0;
        } else if (parse_index(argv[i], &indexes[count])) {
            ++count;
        } else {
            usage();
            free(indexes);
            return 2;
        }
    }

    if (timing != (command != NULL) || (timing && (!*command || (count != 0 && count != 2)))) {
        usage();
        free(indexes);
        return 2;
    }

    Display *dpy = XOpenDisplay(display_name);
    if (!dpy) {
        fprintf(stderr, "gammaread: cannot open display %s\n", display_name ? display_name : "(DISPLAY)");
        free(indexes);
        return 1;
    }
    if (screen < 0)
        screen = DefaultScreen(dpy);

    int event_base, error_base, size = 0;
    if (!XF86VidModeQueryExtension(dpy, &event_base, &error_base) ||
        !XF86VidModeGetGammaRampSize(dpy, screen, &size) || size <= 0) {
        fprintf(stderr, "gammaread: the server has no gamma ramp (XFree86-VidModeExtension)\n");
        XCloseDisplay(dpy);
        free(indexes);
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        if (indexes[i] >= size && !(timing && i == 1)) {
            fprintf(stderr, "gammaread: index %ld is outside the ramp of %d entries\n", indexes[i], size);
            XCloseDisplay(dpy);
            free(indexes);
            return 2;
        }
    }

    if (timing) {
        const int result = time_command(dpy, screen, size, count ? indexes[0] : -1, count ? indexes[1] : 0, command);
        XCloseDisplay(dpy);
        free(indexes);
        return result;
    }

    unsigned short *red = calloc((size_t)size * 3, sizeof *red);
    if (!red) {
        XCloseDisplay(dpy);
        free(indexes);
        return 1;
    }
    unsigned short *green = red + size, *blue = green + size;
    int ok = XF86VidModeGetGammaRamp(dpy, screen, size, red, green, blue);
    XCloseDisplay(dpy);
    if (!ok) {
        fprintf(stderr, "gammaread: XF86VidModeGetGammaRamp failed\n");
        free(red);
        free(indexes);
        return 1;
    }
    printf("size %d\n", size);
    print_channel("red", red, size, indexes, count);
    print_channel("green", green, size, indexes, count);
    print_channel("blue", blue, size, indexes, count);
    free(red);
    free(indexes);
    return 0;
}
