/* libhoming: six ways (and three guidance laws) a homing missile can steer
 * towards a moving target, as a plain C library. Every call returns a
 * status; a failed call leaves what it was to fill untouched and says why in
 * homing_last_error(). No call keeps a pointer it was given past its return,
 * except the handle a world is. Maps and sweeps run on many threads inside
 * one call; a world belongs to one thread at a time.
 *
 * The arithmetic is all inside the library (32-bit records, double
 * arithmetic, no fused multiply-add): a caller's compiler flags change no
 * result. Documentation: docs/library.md; homing-sim(1) for the settings. */
#ifndef HOMING_HOMING_H
#define HOMING_HOMING_H

#include <stddef.h>
#include <stdint.h>

#define HOMING_VERSION_MAJOR 1
#define HOMING_VERSION_MINOR 1
#define HOMING_VERSION_PATCH 0
/* 10000 * major + 100 * minor + patch, as homing_version() returns it. */
#define HOMING_VERSION (HOMING_VERSION_MAJOR * 10000 + HOMING_VERSION_MINOR * 100 + HOMING_VERSION_PATCH)

#if defined(__GNUC__)
#define HOMING_API __attribute__((visibility("default")))
#else
#define HOMING_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum homing_status {
    HOMING_OK = 0,
    HOMING_NULL_ARGUMENT = 1,    /* a pointer the call needs is null */
    HOMING_OUT_OF_RANGE = 2,     /* a number outside what the call takes (a mode, a row, a size) */
    HOMING_BAD_SETTINGS = 3,     /* settings text or a script refused, as homing-sim refuses it */
    HOMING_BUFFER_TOO_SMALL = 4, /* nothing written: the size needed is returned */
    HOMING_CANCELLED = 5,        /* the progress callback asked to stop: nothing is whole */
    HOMING_OUT_OF_MEMORY = 6,
    HOMING_SYSTEM_ERROR = 7, /* the system refused something the call needs */
    HOMING_WRONG_RECORD = 8  /* a settings record not made by its _default() call */
} homing_status;

/* One line for a status: "buffer too small". */
HOMING_API const char* homing_status_text(homing_status status);
/* What the calling thread's last failed call found wrong, in one line naming
 * what and where ("step: must be a whole number from 1 to 300, not 0");
 * "" before any failure. Valid until that thread's next call. */
HOMING_API const char* homing_last_error(void);
/* The library's version, as HOMING_VERSION says it: compare the two to find
 * a program running on another library than the one it was built with. */
HOMING_API int homing_version(void);

/* ---- The methods ------------------------------------------------------- */

typedef struct homing_method_info {
    const char* name;        /* in English: "angle chase" */
    const char* caption;     /* the demonstration's caption in UTF-8 Japanese; "" for the guidance laws */
    const char* description; /* how it steers, one line */
    const char* fails;       /* where and how it misses, one line */
    int turns_at_rate;       /* 1: it turns at most `turn` degrees a frame, so it has a turning circle */
    int draw_count;          /* its launch draws, for homing_method_draw */
} homing_method_info;

typedef struct homing_draw_info {
    const char* name;    /* as --hold takes it: "speed" */
    const char* meaning; /* what it sets, in its units: "speed, pixels a frame" */
    double low, high;    /* a draw of r in [0, 1) sets low + r * (high - low): high never reached */
} homing_draw_info;

/* How many methods there are; a mode is a number from 0 to that less one. */
HOMING_API int homing_method_count(void);
HOMING_API homing_status homing_method(int mode, homing_method_info* info);
/* Launch draw `draw` (from 0, in the order the launch makes them) of `mode`. */
HOMING_API homing_status homing_method_draw(int mode, int draw, homing_draw_info* info);

/* ---- A world, stepped by hand ----------------------------------------- */

/* The playfield's size in pixels and the most shots that fly at once. */
#define HOMING_PLAYFIELD 300
#define HOMING_SHOT_SLOTS 21

typedef struct homing_world homing_world;

typedef struct homing_world_def {
    uint32_t size;   /* set by homing_world_default(): leave it */
    int mode;        /* the method */
    int speed_limit; /* 1: modes 4 and 5 keep under each shot's speed limit */
    uint64_t seed;   /* the launch draws' generator */
    float marker_x;  /* where the marker starts, pixels */
    float marker_y;
} homing_world_def;

typedef struct homing_shot {
    int32_t slot; /* its slot, 0 to HOMING_SHOT_SLOTS - 1 */
    int32_t age;  /* frames flown */
    float x, y;   /* pixels, y downwards */
    float vx, vy; /* pixels a frame */
} homing_shot;

HOMING_API homing_world_def homing_world_default(void);
HOMING_API homing_status homing_world_create(const homing_world_def* def, homing_world** world);
/* Destroying a null world does nothing and returns HOMING_OK, as free() does. */
HOMING_API homing_status homing_world_destroy(homing_world* world);
/* Choosing a method clears the shots, as the demonstration's buttons do. */
HOMING_API homing_status homing_world_set_mode(homing_world* world, int mode);
HOMING_API homing_status homing_world_set_speed_limit(homing_world* world, int on);
HOMING_API homing_status homing_world_move_marker(homing_world* world, float x, float y);
/* Runs `frames` frames (a launch every tenth); `caught`, when not null, is
 * set to the shots that caught the marker in them. */
HOMING_API homing_status homing_world_step(homing_world* world, int frames, int* caught);
/* The flying shots, by slot, into `shots`; `count` is set to how many fly
 * (also when `capacity` is too small, and then nothing is written). */
HOMING_API homing_status homing_world_shots(const homing_world* world, homing_shot* shots, size_t capacity,
                                            size_t* count);
HOMING_API homing_status homing_world_clear(homing_world* world);

/* ---- A script, run to its trace --------------------------------------- */

/* Runs a script of homing-sim(1)'s language (`length` bytes) and writes its
 * CSV trace, with a closing NUL, into `trace`; `length_out` is set to the
 * trace's length without the NUL (also when `capacity` is too small). Lines
 * that draw pictures (png, trail) are refused: pictures are homing-sim's. */
HOMING_API homing_status homing_run_script(const char* script, size_t length, char* trace, size_t capacity,
                                           size_t* length_out);

/* ---- Capture maps and sweeps ------------------------------------------ */

/* Told the share done (0 to 1) now and then, on the calling thread; a
 * non-zero return cancels the run, which then returns HOMING_CANCELLED. */
typedef int (*homing_progress)(double done, void* user);

/* What one method's shots did towards one place (as a map CSV's row). */
typedef struct homing_figures {
    uint16_t shots;
    uint16_t caught;
    uint16_t median; /* frames to the catch, uncaught shots counted as never; 0 when not defined */
    uint16_t p90;    /* the 90th percentile, likewise */
    float mean;      /* mean frames to the catch of the caught shots; 0 when none was */
    float miss;      /* median closest approach of the shots missed, pixels; 0 when none was */
} homing_figures;

typedef struct homing_map_def {
    uint32_t size;            /* set by homing_map_default(): leave it */
    const char* settings;     /* homing-sim's map options: "--step 10 --shots 32 --limit"; null for none */
    int first_row, last_row;  /* rows of the grid, both included; last_row -1: to the last */
    int method;               /* -1: every method; else that method alone */
    unsigned threads;         /* 0: the settings' --threads, else one per core */
    homing_progress progress; /* may be null */
    void* user;               /* handed to progress */
} homing_map_def;

HOMING_API homing_map_def homing_map_default(void);
/* A map's grid as its settings make it: places at x, y = 0, step, 2 step, ...
 * under 300, and the figures homing_map fills for the rows asked for. */
typedef struct homing_map_grid {
    int step;           /* pixels between places */
    int columns;        /* places across; as many rows down */
    size_t figures;     /* (last_row - first_row + 1) * columns * methods (1 for one method) */
    size_t shard_bytes; /* the most a shard of those rows takes, with its NUL (homing_map_shard) */
} homing_map_grid;

HOMING_API homing_status homing_map_size(const homing_map_def* def, homing_map_grid* grid);
/* The map's figures, row by row from first_row, the methods of a place
 * together: figures[((row - first_row) * columns + column) * methods + mode]
 * (methods 1 and mode 0 for one method), the place at x = column * step,
 * y = row * step. */
HOMING_API homing_status homing_map(const homing_map_def* def, homing_figures* figures, size_t capacity);

/* The rows asked for, of every method, as `homing-sim --map OUT.csv --rows`
 * writes a shard: its first line (version, rows, settings), the header and
 * the rows, with a closing NUL; `length` is set to its length without it. */
HOMING_API homing_status homing_map_shard(const homing_map_def* def, char* text, size_t capacity, size_t* length);
/* Shards (NUL-terminated texts) joined as `homing-sim --join-map` joins them:
 * the same settings, every row once, every figure one a run could give, and a
 * few places of each flown again. The whole map's figures, as homing_map
 * gives them for every row and method (mean and miss as the text has them,
 * to the hundredth); a refusal names the shard (from 0). */
HOMING_API homing_status homing_join_map(const char* const* shards, size_t count, homing_figures* figures,
                                         size_t capacity);

/* One value of one launch draw held across the whole grid (as --sweep). */
typedef struct homing_sweep_point {
    int mode;             /* the method */
    int draw;             /* its launch draw, as homing_method_draw numbers them */
    float r;              /* the held draw, in [0, 1) */
    float value;          /* the value it gives, in the draw's units */
    double mostly_caught; /* share of places where at least half the shots are caught */
    double caught;        /* share of all shots caught */
    int median;           /* median over places of their median frames; 0 when not defined */
    int missed;           /* 1: some shots missed, and miss is defined */
    float miss;           /* median over places of their median miss, pixels */
} homing_sweep_point;

typedef struct homing_sweep_def {
    uint32_t size;        /* set by homing_sweep_default(): leave it */
    const char* settings; /* as for a map */
    int values;           /* values of each draw, 1 to 100 */
    unsigned threads;
    homing_progress progress;
    void* user;
} homing_sweep_def;

HOMING_API homing_sweep_def homing_sweep_default(void);
/* Every method's every draw at def->values values: how many points. */
HOMING_API homing_status homing_sweep_size(const homing_sweep_def* def, size_t* points);
HOMING_API homing_status homing_sweep(const homing_sweep_def* def, homing_sweep_point* points, size_t capacity);

#ifdef __cplusplus
}
#endif

#endif
