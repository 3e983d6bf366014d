/* A program as a user of libhoming writes it, in plain C against the
 * installed header alone:
 *   consumer map "SETTINGS" THREADS  prints the map's rows as homing-sim's CSV does
 *   consumer calls                   bad calls, each refused with its status */
#include <homing/homing.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void expect(int good, const char* what)
{
    if (!good) {
        fprintf(stderr, "FAIL: %s (last error: %s)\n", what, homing_last_error());
        ++failures;
    }
}

static void print_value(unsigned value)
{
    if (value)
        printf("%u", value);
}

static int print_map(const char* settings, unsigned threads)
{
    homing_map_def def = homing_map_default();
    def.settings = settings;
    def.threads = threads;
    homing_map_grid grid;
    if (homing_map_size(&def, &grid) != HOMING_OK) {
        fprintf(stderr, "consumer: %s\n", homing_last_error());
        return 2;
    }
    const size_t count = grid.figures;
    const int columns = grid.columns, step = grid.step;
    homing_figures* figures = malloc(count * sizeof *figures);
    if (!figures || homing_map(&def, figures, count) != HOMING_OK) {
        fprintf(stderr, "consumer: %s\n", figures ? homing_last_error() : "out of memory");
        free(figures);
        return 1;
    }
    const int methods = homing_method_count();
    for (size_t n = 0; n < count; ++n) {
        const homing_figures* f = &figures[n];
        const int mode = (int)(n % (size_t)methods), place = (int)(n / (size_t)methods);
        printf("%d,%d,%d,%u,%u,", place % columns * step, place / columns * step, mode, f->shots, f->caught);
        print_value(f->median);
        printf(",");
        print_value(f->p90);
        printf(",");
        if (f->caught)
            printf("%.2f", (double)f->mean);
        printf(",");
        if (f->caught < f->shots)
            printf("%.2f", (double)f->miss);
        printf("\n");
    }
    free(figures);
    return 0;
}

static int cancel_at_once(double done, void* user)
{
    (void)done;
    ++*(int*)user;
    return 1;
}

static int bad_calls(void)
{
    expect(homing_version() == HOMING_VERSION, "the library is the header's version");
    expect(homing_method_count() >= 6, "at least the demonstration's six methods");
    homing_method_info info;
    expect(homing_method(homing_method_count(), &info) == HOMING_OUT_OF_RANGE, "a mode past the last is refused");
    expect(strstr(homing_last_error(), "mode must be 0 to") != NULL, "the message says which modes there are");
    expect(homing_method(0, NULL) == HOMING_NULL_ARGUMENT, "a null info is refused");

    expect(homing_world_step(NULL, 1, NULL) == HOMING_NULL_ARGUMENT, "a null world is refused");
    expect(homing_world_destroy(NULL) == HOMING_OK, "destroying no world is nothing");
    homing_world_def wdef = homing_world_default();
    homing_world* world = NULL;
    wdef.size = 4;
    expect(homing_world_create(&wdef, &world) == HOMING_WRONG_RECORD && !world, "a record not from _default()");
    wdef = homing_world_default();
    wdef.marker_x = 150;
    wdef.marker_y = 60;
    expect(homing_world_create(&wdef, &world) == HOMING_OK, "a world is made");
    int caught = -1;
    expect(homing_world_step(world, 25, &caught) == HOMING_OK && caught >= 0, "frames run");
    homing_shot one[1], all[HOMING_SHOT_SLOTS];
    size_t flying = 0;
    memset(one, 0x5a, sizeof one);
    expect(homing_world_shots(world, one, 1, &flying) == HOMING_BUFFER_TOO_SMALL && flying == 2,
           "two shots fly after 25 frames (launched at 10 and 20); a buffer of one is too small");
    expect(one[0].slot == 0x5a5a5a5a, "nothing is written into a buffer too small");
    expect(homing_world_shots(world, all, HOMING_SHOT_SLOTS, &flying) == HOMING_OK && flying == 2, "the shots read");
    expect(homing_world_move_marker(world, 0.0f / 0.0f, 1) == HOMING_OUT_OF_RANGE, "a NaN marker is refused");
    expect(homing_world_clear(world) == HOMING_OK && homing_world_shots(world, all, 0, &flying) == HOMING_OK &&
               flying == 0,
           "a clear frees every slot");
    homing_world_destroy(world);

    homing_map_def def = homing_map_default();
    def.settings = "--step 50 --shots 0";
    expect(homing_map(&def, NULL, 0) == HOMING_BAD_SETTINGS, "a bad setting is refused");
    expect(strstr(homing_last_error(), "--shots") != NULL, "the message names the setting");
    def.settings = "--step 50 --shots 2";
    homing_figures figures[6 * 6 * 32];
    homing_map_grid grid;
    expect(homing_map_size(&def, &grid) == HOMING_OK && grid.step == 50 && grid.columns == 6 &&
               grid.figures == 6 * 6 * (size_t)homing_method_count(),
           "the map's grid: places 0 to 250, 50 apart");
    const size_t needed = grid.figures;
    expect(homing_map(&def, figures, needed - 1) == HOMING_BUFFER_TOO_SMALL, "an array one short is refused");
    int asked = 0;
    def.settings = "--step 5 --shots 4";
    def.threads = 1;
    def.progress = cancel_at_once;
    def.user = &asked;
    homing_figures* big = malloc(61 * 61 * 16 * sizeof *big);
    expect(big && homing_map(&def, big, 61 * 61 * 16) == HOMING_CANCELLED && asked == 1,
           "a map cancelled at its first progress stops there and says so");
    free(big);

    char trace[64];
    size_t length = 0;
    const char* script = "seed 1\nmove 150 60\nframes 20\n";
    expect(homing_run_script(script, strlen(script), trace, sizeof trace, &length) == HOMING_BUFFER_TOO_SMALL &&
               length > sizeof trace,
           "a trace too long for its buffer says how long it is");
    const char* picture = "frames 1\npng a.png\n";
    expect(homing_run_script(picture, strlen(picture), trace, sizeof trace, &length) == HOMING_BAD_SETTINGS &&
               strstr(homing_last_error(), "line 2") != NULL,
           "a picture's line is refused, by its number");
    return failures ? 1 : 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "map") == 0)
        return print_map(argv[2], (unsigned)strtoul(argv[3], NULL, 10));
    if (argc == 2 && strcmp(argv[1], "calls") == 0)
        return bad_calls();
    fprintf(stderr, "usage: consumer map SETTINGS THREADS | consumer calls\n");
    return 2;
}
