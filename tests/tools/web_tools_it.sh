#!/usr/bin/env bash
# The web tools of the real program, used with real clicks:
#  - "十二时辰表" on "趣味工具" shows the twelve double hours and "确定" closes it;
#  - the picture on "访问主页" ripples;
#  - "生辰八字" opens a browser window of the browser program; an address typed there loads a
#    page served on loopback, a link, "后退" and "刷新" work, and closing the window ends the
#    browser program with its page processes.
# Every address but loopback goes to a proxy that is not there, so the tool's own address
# never leaves the machine.
IT_SCREEN=1280x1024x24
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --proxy-server=127.0.0.1:9"
export LIBGL_ALWAYS_SOFTWARE=1
source "$(dirname "$0")/../support/whole_program.sh"

# A web server on loopback that logs each request and forbids caching, so every load shows.
cat >"$work/server.py" <<'PY'
import http.server, sys
class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = ('<html><head><title>%s</title></head><body style="margin:0">'
                '<a href="/two" style="display:block;height:300px;background:#cde">%s</a>'
                '</body></html>' % (self.path, self.path)).encode()
        self.send_response(200)
        self.send_header('Content-Type', 'text/html')
        self.send_header('Cache-Control', 'no-store')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        if self.path != '/favicon.ico':
            with open(sys.argv[2], 'a') as log:
                log.write(self.path + '\n')
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(('127.0.0.1', 0), Page)
open(sys.argv[1], 'w').write(str(server.server_port))
server.serve_forever()
PY
python3 "$work/server.py" "$work/port" "$work/requests" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port") || fail "the test server did not start"
touch "$work/requests"
# Waits up to 20 s for the server to have served $1 requests in all.
wait_requests() {
  for _ in $(seq 200); do
    [ "$(wc -l <"$work/requests")" -ge "$1" ] && return 0
    sleep 0.1
  done
  fail "expected $1 requests, got: $(tr '\n' ' ' <"$work/requests")"
}

start tools
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"

# "趣味工具" is the sixth entry of the clock's menu.
open_page_from_menu "$zorvel" "$clock" 6
sleep 0.5

# "十二时辰表": third column, second row of the grid.
xdotool mousemove --window "$main" 653 130 click 1
table=$(wait_window "$zorvel" '^十二时辰$') || fail "十二时辰表 showed no table"
wait_viewable "$table" yes || fail "the table is not on the screen"
# "确定", bottom right of the table.
geometry=$(xdotool getwindowgeometry "$table" | awk '/Geometry/{print $2}')
w=${geometry%x*}
h=${geometry#*x}
xdotool mousemove --window "$table" $((w - 150)) $((h - 24)) click 1
wait_viewable "$table" no 50 || fail "确定 did not close the table"

# "网络校时": second column, last row. A window of its own that the taskbar lists: transient for
# no other window, an ordinary one to the window manager; Escape hides it.
xdotool mousemove --window "$main" 478 306 click 1
sync=$(wait_window "$zorvel" '^网络校时$') || fail "网络校时 showed no window"
xprop -id "$sync" WM_TRANSIENT_FOR | grep -q 'not found' ||
  fail "the network time window is transient: $(xprop -id "$sync" WM_TRANSIENT_FOR)"
[ "$(xprop -id "$sync" _NET_WM_WINDOW_TYPE)" = \
  "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL" ] ||
  fail "the network time window is $(xprop -id "$sync" _NET_WM_WINDOW_TYPE)"
wait_focus "$sync" || fail "the network time window did not get the keyboard"
xdotool key Escape
wait_viewable "$sync" no 50 || fail "Escape did not close the network time window"

# "访问主页", the tab right of "趣味工具".
xdotool mousemove --window "$main" 668 24 click 1
sleep 0.5
picture() { import -window "$main" -crop 480x270+240+48 "$work/$1.png"; }
changed() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)" != 0 ]; }
picture a
# Drops fall at random, one tick in ten on average: a few seconds hold one almost surely.
rippled=no
for _ in $(seq 6); do
  sleep 0.6
  picture b
  changed a b && { rippled=yes; break; }
done
[ "$rippled" = yes ] || fail "the home page picture does not ripple"
# "生辰八字": second column, first row of "趣味工具".
xdotool mousemove --window "$main" 595 24 click 1
sleep 0.5
xdotool mousemove --window "$main" 478 86 click 1
web=$(wait_browser "$zorvel") || fail "生辰八字 started no browser program"
browser=$(wait_window "$web" '^浏览器$') || fail "生辰八字 opened no browser window"
wait_viewable "$browser" yes || fail "the browser window is not on the screen"
# Page processes are forked by the web engine's zygotes, themselves children of the browser.
renderers() {
  local zygote n=0
  for zygote in $(pgrep -P "$web" -f QtWebEngineProcess || true); do
    n=$((n + $(pgrep -P "$zygote" | wc -l)))
  done
  echo "$n"
}
# The address field, right of the picture at the top left.
wait_focus "$browser" || fail "the browser window did not get the keyboard"
xdotool mousemove --window "$browser" 300 26 click 1
xdotool key ctrl+a
xdotool type --delay 20 "http://127.0.0.1:$port/one"
xdotool key Return
wait_requests 1
[ "$(sed -n 1p "$work/requests")" = /one ] || fail "the typed address was not loaded"
sleep 1
xdotool mousemove --window "$browser" 200 150 click 1  # the link
wait_requests 2
sleep 1
geometry=$(xdotool getwindowgeometry "$browser" | awk '/Geometry/{print $2}')
w=${geometry%x*}
# The six buttons end at the right edge: 后退 is the sixth from the right, 刷新 the third.
button() { xdotool mousemove --window "$browser" $((w - 8 - 19 - (6 - $1) * 38)) 26 click 1; }
button 1  # 后退
wait_requests 3
[ "$(sed -n 3p "$work/requests")" = /one ] || fail "后退 did not go back: $(cat "$work/requests")"
sleep 1
button 4  # 刷新
wait_requests 4
[ "$(sed -n 4p "$work/requests")" = /one ] || fail "刷新 did not reload the page"
import -window "$browser" "$work/browser.png" 2>/dev/null || true
[ "$(renderers)" -gt 0 ] || fail "no page process while the page is shown"
process_tree "$web" >"$work/web-processes"
xdotool key Escape
wait_viewable "$browser" no 50 || fail "Escape did not close the browser window"
wait_for 100 all_gone "$work/web-processes" ||
  fail "the closed window left processes behind: $(ps -o pid,comm -p "$(paste -sd, "$work/web-processes")")"
kill -0 "$zorvel" || fail "the program ended"
echo "web tools: ok"
