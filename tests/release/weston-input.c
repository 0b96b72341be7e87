/* A weston module for tests: weston's headless back end has no input devices,
 * and Wayland lets no client type into another, so this module adds a seat with
 * a keyboard and a pointer and feeds it from a FIFO, one command a line:
 *   key CODE          press and release a key (Linux input key code)
 *   click X Y         move the pointer there and click the left button
 * Load with: weston --modules=/path/weston-input.so, the FIFO named by
 * WESTON_INPUT_FIFO (made by the caller). */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <libweston/libweston.h>
#include <linux/input-event-codes.h>
#include <wayland-server.h>

/* Exported by libweston but declared only in its private back-end header. */
void weston_seat_init(struct weston_seat *seat, struct weston_compositor *ec, const char *seat_name);
int weston_seat_init_keyboard(struct weston_seat *seat, struct xkb_keymap *keymap);
int weston_seat_init_pointer(struct weston_seat *seat);
void notify_key(struct weston_seat *seat, const struct timespec *time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);
void notify_motion_absolute(struct weston_seat *seat, const struct timespec *time, double x, double y);
void notify_button(struct weston_seat *seat, const struct timespec *time, int32_t button,
                   enum wl_pointer_button_state state);
void notify_pointer_frame(struct weston_seat *seat);

static struct weston_seat seat;
static char pending[256];
static size_t pending_length;

static void now(struct timespec *t) { clock_gettime(CLOCK_MONOTONIC, t); }

static void run(const char *line) {
  struct timespec t;
  unsigned code;
  double x, y;
  now(&t);
  if (sscanf(line, "key %u", &code) == 1) {
    notify_key(&seat, &t, code, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
    notify_key(&seat, &t, code, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_AUTOMATIC);
  } else if (sscanf(line, "click %lf %lf", &x, &y) == 2) {
    notify_motion_absolute(&seat, &t, x, y);
    notify_pointer_frame(&seat);
    notify_button(&seat, &t, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
    notify_pointer_frame(&seat);
    notify_button(&seat, &t, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    notify_pointer_frame(&seat);
  } else {
    fprintf(stderr, "weston-input: unknown command: %s\n", line);
  }
}

static int readable(int fd, uint32_t mask, void *data) {
  (void)mask;
  (void)data;
  ssize_t n = read(fd, pending + pending_length, sizeof pending - 1 - pending_length);
  if (n <= 0) return 0; /* a writer closed; the FIFO stays open for the next */
  pending_length += (size_t)n;
  pending[pending_length] = '\0';
  char *end;
  while ((end = strchr(pending, '\n')) != NULL) {
    *end = '\0';
    run(pending);
    pending_length -= (size_t)(end + 1 - pending);
    memmove(pending, end + 1, pending_length + 1);
  }
  if (pending_length == sizeof pending - 1) pending_length = 0; /* a runaway line */
  return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[]) {
  (void)argc;
  (void)argv;
  const char *path = getenv("WESTON_INPUT_FIFO");
  if (path == NULL) {
    fprintf(stderr, "weston-input: WESTON_INPUT_FIFO is not set\n");
    return -1;
  }
  /* Read and write, so the FIFO never reports end of file between writers. */
  int fd = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    fprintf(stderr, "weston-input: %s: %s\n", path, strerror(errno));
    return -1;
  }
  weston_seat_init(&seat, compositor, "default");
  if (weston_seat_init_keyboard(&seat, NULL) < 0 || weston_seat_init_pointer(&seat) < 0) {
    fprintf(stderr, "weston-input: no keyboard or pointer\n");
    return -1;
  }
  wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), fd, WL_EVENT_READABLE,
                       readable, NULL);
  return 0;
}
