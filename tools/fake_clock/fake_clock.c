/* Starts the wall clock of a 32-bit Linux process (Wine's 32-bit loader and
 * so the Windows program it runs) at the moment KESTROM_CLOCK_START gives,
 * in seconds since 1970, and lets it run on from there. Loaded with
 * LD_PRELOAD by the end-to-end scenarios that need another day.
 *
 * Wine's 32-bit side reads the time through glibc's 64-bit time calls
 * (__clock_gettime64 and friends), which libfaketime does not catch. Built
 * without the C library's headers and start files (-nostdlib), so that it
 * needs no 32-bit development packages: hence the few declarations below and
 * no 64-bit division. */

typedef struct {
    long long tv_sec;
    long tv_nsec;
    long padding;
} timespec64;

typedef struct {
    long long tv_sec;
    long long tv_usec;
} timeval64;

typedef int (*gettime_function)(int clock, timespec64 *time);

extern void *dlsym(void *handle, const char *name);
extern char *getenv(const char *name);

#define RTLD_NEXT ((void *)-1l)
#define CLOCK_REALTIME 0
#define CLOCK_REALTIME_COARSE 5
#define NANOSECONDS 1000000000l

static gettime_function real_gettime;
static long long shift_seconds;
static long shift_nanoseconds; /* 0 <= shift_nanoseconds < NANOSECONDS */

static void shift(timespec64 *time)
{
    time->tv_sec += shift_seconds;
    time->tv_nsec += shift_nanoseconds;
    if (time->tv_nsec >= NANOSECONDS) {
        time->tv_nsec -= NANOSECONDS;
        time->tv_sec += 1;
    }
}

static int start(void)
{
    if (real_gettime) return 1;
    real_gettime = (gettime_function)dlsym(RTLD_NEXT, "__clock_gettime64");
    if (!real_gettime) return 0;
    const char *text = getenv("KESTROM_CLOCK_START");
    long long wanted = 0;
    for (const char *p = text ? text : ""; *p >= '0' && *p <= '9'; ++p) wanted = wanted * 10 + (*p - '0');
    timespec64 now;
    if (!text || real_gettime(CLOCK_REALTIME, &now) != 0) return 1;
    /* wanted - now, with the nanoseconds kept in range */
    shift_seconds = wanted - now.tv_sec - (now.tv_nsec > 0);
    shift_nanoseconds = now.tv_nsec > 0 ? NANOSECONDS - now.tv_nsec : 0;
    return 1;
}

int __clock_gettime64(int clock, timespec64 *time)
{
    if (!start()) return -1;
    const int result = real_gettime(clock, time);
    if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)) shift(time);
    return result;
}

int __gettimeofday64(timeval64 *time, void *zone)
{
    (void)zone;
    timespec64 now;
    if (__clock_gettime64(CLOCK_REALTIME, &now) != 0) return -1;
    if (time) {
        time->tv_sec = now.tv_sec;
        time->tv_usec = now.tv_nsec / 1000;
    }
    return 0;
}

long long __time64(long long *result)
{
    timespec64 now;
    if (__clock_gettime64(CLOCK_REALTIME, &now) != 0) return -1;
    if (result) *result = now.tv_sec;
    return now.tv_sec;
}
