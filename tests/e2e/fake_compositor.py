"""fake_compositor.py LOG [LATE_MS]: a compositing manager of the test's own for the display in
DISPLAY, that loses a window's new picture the way a busy mutter on X11 does. LOG gets
"composites" once it owns the screen's compositing selection (_NET_WM_CM_S0) and shows the
windows, then a line for each picture it copies and each damage it clears (with
FAKE_COMPOSITOR_VERBOSE set, also for each drawing it is told of).

Every top-level window is redirected off the screen (Composite, manual) and watched with a
damage object that reports once, as its damage becomes non-empty. At that report the window's
picture is copied (GetImage) and the screen is painted again: the windows bottom to top on
black, the rows of a window with an alpha channel that are wholly transparent left out, onto
the composite overlay window. mutter clears a window's damage on another connection to the X
server than the one it copies on, and on a busy machine that request reaches the server well
after the copy: a picture drawn in between is cleared unseen, and the screen keeps the older
one until the window draws again. Here the damage is cleared on a second connection LATE_MS
(default 1000) after the copy, once the window has drawn nothing for 0.3 s (a second damage
object reports each drawing), and at the latest LATE_MS and a second after the copy. So
whatever a window draws after the first of its changes in quick succession (the steps of a
slide, a second page of the year) is lost; only a window that hands its picture over again
once the damage was cleared has it shown. SIGTERM ends it (the X server then undoes the redirection).
"""
import os
import select
import signal
import sys
import time

from Xlib import X, display, error
from Xlib.ext import composite, damage, shape

log = open(sys.argv[1], "a", buffering=1)
verbose = bool(os.environ.get("FAKE_COMPOSITOR_VERBOSE"))
LATE = (int(sys.argv[2]) if len(sys.argv) > 2 else 1000) / 1000
QUIET = 0.3   # how long a window must have drawn nothing before its damage is cleared
copier = display.Display()    # watches the windows and copies their pictures
clearer = display.Display()   # clears their damage, as mutter's other connection does
for d in (copier, clearer):
    d.set_error_handler(lambda *_: None)   # a window gone meanwhile
    d.damage_query_version()   # asked first, or the extension answers nothing
screen = copier.screen()
root = screen.root
W, H = screen.width_in_pixels, screen.height_in_pixels

# Owning the selection tells programs that a compositor runs.
owner = root.create_window(-1, -1, 1, 1, 0, X.CopyFromParent, X.InputOnly, X.CopyFromParent)
selection = copier.intern_atom("_NET_WM_CM_S%d" % copier.get_default_screen())
owner.set_selection_owner(selection, X.CurrentTime)
if copier.get_selection_owner(selection) != owner:
    sys.exit("another compositing manager runs")
root.change_attributes(event_mask=X.SubstructureNotifyMask)
root.composite_redirect_subwindows(composite.RedirectManual)
overlay = root.composite_get_overlay_window().overlay_window
# Clicks pass through the overlay to the windows below.
overlay.shape_rectangles(shape.SO.Set, shape.SK.Input, X.Unsorted, 0, 0, [])
back = overlay.create_pixmap(W, H, screen.root_depth)   # each frame made whole before it shows
gc = back.create_gc(foreground=screen.black_pixel, graphics_exposures=False)
back.fill_rectangle(gc, 0, 0, W, H)
# The most bytes a PutImage may carry without BIG-REQUESTS.
MAX_REQUEST = copier.display.info.max_request_length * 4 - 64


class Window:
    def __init__(self, window):
        self.window = window
        self.damage = None
        self.draws = None        # a second damage object that reports every drawing
        self.mapped = False
        self.x = self.y = self.w = self.h = 0
        self.picture = None      # the last copy: bytes, width, height, its rows that show
        self.copy_due = None     # when the reported damage is to be copied
        self.copied = 0.0        # when the picture was last copied
        self.clear_due = None    # when the copied damage is to be cleared at the earliest
        self.last_drawn = 0.0    # when the window last drew (as the second damage object says)

    def rect(self):
        return (self.x, self.y, self.w, self.h)


windows = {}


def now():
    return time.monotonic()


def track(wid):
    w = windows.get(wid)
    if w is None:
        w = windows[wid] = Window(copier.create_resource_object("window", wid))
    return w


def watch(w):
    """Watches a window that shows: its damage reported once until cleared, its picture copied."""
    if w.damage is None:
        w.damage = w.window.damage_create(damage.DamageReportNonEmpty)
        w.draws = w.window.damage_create(damage.DamageReportRawRectangles)
    w.copy_due = now()


def unwatch(w):
    if w.damage is not None:
        copier.damage_destroy(w.damage)
        copier.damage_destroy(w.draws)
    w.damage = w.draws = w.copy_due = w.clear_due = None


def copy(w):
    """Copies the window's picture and paints the screen where it lies."""
    w.copy_due = None
    try:
        g = w.window.get_geometry()
        image = w.window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF)
    except error.XError:
        return
    w.x, w.y, w.w, w.h = g.x, g.y, g.width, g.height
    data, stride = image.data, 4 * g.width
    if image.depth == 32:
        clear = bytes(g.width)
        shown = [y for y in range(g.height) if data[stride * y + 3:stride * (y + 1):4] != clear]
    else:
        shown = list(range(g.height))
    w.picture = (data, g.width, g.height, shown)
    w.copied = now()
    w.clear_due = w.copied + LATE
    log.write("%.3f copied 0x%x %dx%d, %d rows shown\n" % (now(), w.window.id, g.width, g.height, len(shown)))
    paint(w.rect())


def clear(w):
    """Clears the window's damage on the other connection: what it drew since the copy is lost."""
    w.clear_due = None
    if w.damage is not None:
        clearer.damage_subtract(w.damage)
        clearer.sync()
        log.write("%.3f cleared 0x%x\n" % (now(), w.window.id))


def clearing(w):
    """When a copied window's damage is cleared: not while it is still drawing (its later
    pictures are lost too), but at the latest LATE_MS and a second after the copy."""
    return min(max(w.clear_due, w.last_drawn + QUIET), w.clear_due + 1)


def runs(rows):
    """The rows as runs of consecutive ones: (first, count)."""
    out = []
    for y in rows:
        if out and out[-1][0] + out[-1][1] == y:
            out[-1][1] += 1
        else:
            out.append([y, 1])
    return out


def paint(rect):
    """Paints the screen's rectangle: black, then each window that shows, bottom to top."""
    x0, y0, w0, h0 = rect
    x1, y1 = min(W, x0 + w0), min(H, y0 + h0)
    x0, y0 = max(0, x0), max(0, y0)
    if x1 <= x0 or y1 <= y0:
        return
    back.fill_rectangle(gc, x0, y0, x1 - x0, y1 - y0)
    try:
        order = root.query_tree().children
    except error.XError:
        return
    for child in order:
        w = windows.get(child.id)
        if w is None or not w.mapped or w.picture is None:
            continue
        data, pw, ph, shown = w.picture
        left, right = max(x0, w.x), min(x1, w.x + pw)
        if right <= left:
            continue
        stride = 4 * pw
        rows = [y for y in shown if y0 <= w.y + y < y1]
        for first, count in runs(rows):
            per = max(1, MAX_REQUEST // (4 * (right - left)))
            for y in range(first, first + count, per):
                n = min(per, first + count - y)
                part = b"".join(data[stride * r + 4 * (left - w.x):stride * r + 4 * (right - w.x)]
                                for r in range(y, y + n))
                back.put_image(gc, left, w.y + y, right - left, n, X.ZPixmap, screen.root_depth, 0, part)
    overlay.copy_area(gc, back, x0, y0, x1 - x0, y1 - y0, x0, y0)
    copier.flush()


def handle(e):
    if e.type == copier.extension_event.DamageNotify:
        w = windows.get(e.drawable.id)
        if w is None or not w.mapped:
            return
        if e.damage == w.damage:
            if w.copy_due is None:
                w.copy_due = now()
        else:
            w.last_drawn = now()
            if verbose:
                log.write("%.3f drawn 0x%x %d,%d %dx%d\n" % (now(), w.window.id, e.area.x, e.area.y, e.area.width, e.area.height))
        return
    if e.type in (X.CreateNotify, X.MapNotify) and e.window.id in (overlay.id, owner.id):
        return
    if e.type == X.CreateNotify:
        w = track(e.window.id)
        w.x, w.y, w.w, w.h = e.x, e.y, e.width, e.height
    elif e.type == X.MapNotify:
        w = track(e.window.id)
        w.mapped = True
        watch(w)
    elif e.type == X.UnmapNotify:
        w = windows.get(e.window.id)
        if w is not None:
            w.mapped = False
            unwatch(w)
            paint(w.rect())
    elif e.type == X.DestroyNotify:
        w = windows.pop(e.window.id, None)
        if w is not None:
            w.damage = None   # destroyed with the window
            if w.mapped:
                paint(w.rect())
    elif e.type == X.ConfigureNotify:
        w = windows.get(e.window.id)
        if w is not None:
            old = w.rect()
            resized = (e.width, e.height) != (w.w, w.h)
            w.x, w.y, w.w, w.h = e.x, e.y, e.width, e.height
            if w.mapped:
                if resized:
                    w.copy_due = now()   # a new pixmap
                paint(old)
                paint(w.rect())
    elif e.type == X.ReparentNotify:
        if e.parent.id != root.id:
            w = windows.pop(e.window.id, None)
            if w is not None:
                unwatch(w)


for child in root.query_tree().children:
    if child.id in (overlay.id, owner.id):
        continue
    w = track(child.id)
    try:
        g, a = child.get_geometry(), child.get_attributes()
    except error.XError:
        continue
    w.x, w.y, w.w, w.h = g.x, g.y, g.width, g.height
    if a.map_state != X.IsUnmapped:
        w.mapped = True
        watch(w)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
copier.sync()
log.write("composites\n")
while True:
    while copier.pending_events():
        handle(copier.next_event())
    t = now()
    for w in list(windows.values()):
        if w.copy_due is not None and w.copy_due <= t:
            copy(w)
        if w.clear_due is not None and t >= clearing(w):
            clear(w)
    dues = [w.copy_due for w in windows.values() if w.copy_due is not None]
    dues += [clearing(w) for w in windows.values() if w.clear_due is not None]
    timeout = max(0.0, min(dues) - now()) if dues else None
    # (A reply waited for may have brought events along.)
    if not copier.pending_events():
        select.select([copier], [], [], timeout)
