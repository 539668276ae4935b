/* Prints the X server's gamma ramp, an outside witness of what a Windows program set with
 * SetDeviceGammaRamp under Wine (the ramp stays in the server after the program exits).
 *
 *   gammaread [-d DISPLAY] [-s SCREEN] [INDEX...]
 *
 * Output, one line each:
 *   size N
 *   red v0 v1 ... (N values, or only the values at the given indexes, in the given order)
 *   green ...
 *   blue ...
 * Values are the server's 16-bit entries. Exit status: 0 read, 1 no display or no ramp, 2 usage.
 */
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void usage(void)
{
    fprintf(stderr, "usage: gammaread [-d DISPLAY] [-s SCREEN] [INDEX...]\n");
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
    if (!indexes)
        return 1;

    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "-d") == 0 && i + 1 < argc) {
            display_name = argv[++i];
        } else if (strcmp(argv[i], "-s") == 0 && i + 1 < argc) {
            long s;
            if (!parse_index(argv[++i], &s)) { usage(); free(indexes); return 2; }
            screen = (int)s;
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
        if (indexes[i] >= size) {
            fprintf(stderr, "gammaread: index %ld is outside the ramp of %d entries\n", indexes[i], size);
            XCloseDisplay(dpy);
            free(indexes);
            return 2;
        }
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
