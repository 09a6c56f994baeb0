#!/usr/bin/env bash
# End to end: the transfer to payroll of a company with 1200 calculated benefits, killed
# with SIGKILL at several moments while it sends them, restarted and run again each time, and at
# last run to its end. Payroll's input items of every employee (amount K010, current days N010,
# arrears days N008) must then equal the sums of the benefits in NIEOBEC: nothing sent twice,
# nothing missing.
# Each kill comes once a chosen number of new payroll items appeared. The program is then stopped
# (SIGSTOP) at a moment of one of these kinds and killed there:
#   noted  another process holds DANE_WE's header lock, which a new payroll item's append takes,
#          until the program has noted a call that appends one: the call is noted in the
#          employee's journal and not made;
#   made   the program is stepped (SIGCONT, SIGSTOP) until payroll holds a call (its item's keys
#          all in) and the benefit record does not have its marks yet: without the journal's
#          settling at the next run that call would be sent twice (a search that does not
#          find such a moment soon kills it wherever it stands);
#   any    wherever it stands once the items appeared, most often in the middle of the last new
#          item's key write (the count goes out before the keys): the next run rebuilds the
#          index and says so.
# Where each kill landed is read from the files while the program stands stopped.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_transfer_killed.sh BUILD_DIR}" && pwd)
name=zasilki_killed
source "$(dirname "$0")/zasilki_session.inc"
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3) || { echo "FAIL: python3 is needed to read the tables"; exit 1; }
seed="$build/tests/e2e/e2e_benefit_company"
[ -x "$seed" ] || { echo "FAIL: $seed not built"; exit 1; }

"$seed" "$work/demo" 1200 || fail "the company was not made"
company="$work/demo"

# tables payroll: the payroll items of every employee; tables expected: the same sums from
# NIEOBEC. tables stop PID KIND ITEMS READY: once DANE_WE holds ITEMS records, stops the program
# PID at a moment of KIND (see above) and prints where it stands: the kind of pending payroll call
# (noted, made, marked: made with its marks written, none) and "writing" when a table's index
# witnesses a key write in progress. It makes the file READY once it watches.
tables() {
  "$python" - "$company" "$@" <<'PY'
import datetime, fcntl, glob, os, signal, struct, sys, time

company, what = sys.argv[1], sys.argv[2]

def layout(b):
    n, hlen, rlen = struct.unpack('<IHH', b[4:12])
    fields, off, p = {}, 1, 32
    while b[p] != 0x0D:
        fields[b[p:p+11].split(b'\0')[0].decode().lower()] = (off, b[p+16])
        off += b[p+16]
        p += 32
    return n, hlen, rlen, fields

def records(path):
    b = open(path, 'rb').read()
    n, hlen, rlen, fields = layout(b)
    for i in range(n):
        r = b[hlen + i * rlen:hlen + (i + 1) * rlen]
        if len(r) == rlen and r[:1] != b'*':
            yield {f: r[o:o + l] for f, (o, l) in fields.items()}

def record(path, recno):
    with open(path, 'rb') as f:
        b = f.read(4096)
        n, hlen, rlen, fields = layout(b)
        f.seek(hlen + (recno - 1) * rlen)
        r = f.read(rlen)
    return {f: r[o:o + l] for f, (o, l) in fields.items()}

def table(name):
    return company + '/' + name + '.dbf'

def count(name, files={}):
    if name not in files:
        files[name] = os.open(table(name), os.O_RDONLY)
    return struct.unpack('<I', os.pread(files[name], 4, 4))[0]

# The witness of a key write in progress, the last byte of the structural index's header: set,
# the index is behind its table until the writer clears it.
def writing(name):
    with open(company + '/' + name + '.cdx', 'rb') as f:
        return f.read(1024)[1023] == 1

def payroll():
    items = {}
    for r in records(table('DANE_WE')):
        code = r['kod'].decode().strip()
        items[(r['nr_prac'].decode().strip(), code)] = struct.unpack('<i', r['wartosc'][:4])[0]
    return items

def value(text):
    return None if text == '-' else int(text)

# The payroll call a journal notes as pending: (employee, record, item, before, after, marks).
def pending_call():
    for path in glob.glob(company + '/PRZEKAZ_*.JRN'):
        try:
            lines = open(path, 'rb').read().decode('ascii', 'replace').split('\n')
        except FileNotFoundError:  # the employee is done
            continue
        if lines[0] != 'ZAMIAR' or len(lines) < 4 or not lines[3].startswith('KONIEC'):
            continue
        try:
            nr, recno, _, item, _, before, after = lines[1].split('\t')
            place, kind, amount, days, mark = lines[2].split('\t')
            return (nr.strip(), int(recno), item, value(before), value(after),
                    (place == 'T', kind.strip(), float(amount), float(days), mark.strip()))
        except ValueError:  # read while the program wrote it
            continue
    return None

def landing():
    call = pending_call()
    if not call:
        return 'none'
    nr, recno, item, before, after, noted = call
    now = payroll().get((nr, item))
    if before == after:
        return 'none'
    if now == before:
        return 'noted'
    if now != after:
        return 'odd: %s %s holds %s, noted %s before and %s after' % (nr, item, now, before, after)
    r = record(table('NIEOBEC'), recno)
    num = lambda v: float(v.strip() or b'0')
    marks = (r['place'] == b'T', r['old_zas'].decode().strip(), num(r['old_wart']), num(r['old_dni']),
             r['old_nr'].decode().strip())
    return 'marked' if marks == noted else 'made'

# Polls until cond() holds; a wait bounded only to end a test that went wrong.
def until(cond, what):
    deadline = time.monotonic() + 60
    while not cond():
        if time.monotonic() > deadline:
            sys.exit('waited for ' + what)
        time.sleep(0.0002)  # a short pause keeps the poll from taking a whole processor

def stopped(pid):
    os.kill(pid, signal.SIGSTOP)
    until(lambda: open('/proc/%d/stat' % pid).read().rsplit(')', 1)[1].split()[0] in 'Tt', 'the program to stop')

# Lets the stopped program run for a moment.
def step(pid):
    os.kill(pid, signal.SIGCONT)
    stopped(pid)

# Takes DANE_WE's header lock in a child process, which keeps it until it is killed or this
# process ends (a lock of this process would go with the first file of the table it closes).
def hold_header_lock():
    held, parent = os.pipe(), os.getpid()
    child = os.fork()
    if child == 0:
        fd, deadline = os.open(table('DANE_WE'), os.O_RDWR), time.monotonic() + 60
        while True:
            try:
                fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0x7FFFFFFE)
                break
            except OSError:
                if os.getppid() != parent or time.monotonic() > deadline:
                    os._exit(0)
        os.write(held[1], b'1')
        while os.getppid() == parent:
            time.sleep(0.01)
        os._exit(0)
    os.close(held[1])
    if not os.read(held[0], 1):
        sys.exit("DANE_WE's header lock was never free")
    os.close(held[0])
    return child

def release(holder):
    os.kill(holder, signal.SIGKILL)
    os.waitpid(holder, 0)

# A call noted to append a new item: with the header lock held elsewhere it cannot be made.
def append_noted():
    call = pending_call()
    return call is not None and call[3] is None and landing() == 'noted'

def stop(pid, kind, items, ready):
    open(ready, 'w').close()
    until(lambda: count('DANE_WE') >= items, '%d payroll items' % items)
    if kind == 'noted':
        holder = hold_header_lock()
        until(append_noted, 'a call appending a payroll item')
        stopped(pid)
        release(holder)
        return
    stopped(pid)
    if kind == 'made':
        # The moment lasts a few microseconds (two unlocks between payroll's write and the
        # marks'), so stepping finds it by chance, and on a loaded machine seldom: a step lasts
        # until this process, which may lose its processor, sends the next SIGSTOP. The program
        # runs at the lowest priority meanwhile, so that such a step is short; a search that
        # sees 25 more payroll items appear gives up and the kill lands wherever the program
        # stands. The kill at every step of a call is tested in-process, where it is exact.
        os.setpriority(os.PRIO_PROCESS, pid, 19)
        deadline = time.monotonic() + 60
        while landing() != 'made' or writing('DANE_WE'):
            if time.monotonic() > deadline:
                sys.exit('the program never stood between a payroll call and its marks')
            if count('DANE_WE') >= items + 25:
                return
            step(pid)

if what == 'stop':
    pid, kind, items, ready = int(sys.argv[3]), sys.argv[4], int(sys.argv[5]), sys.argv[6]
    stop(pid, kind, items, ready)
    print(landing(), *[n for n in ('NIEOBEC', 'DANE_WE') if writing(n)] and ['writing'])
    sys.exit()

items = {}
if what == 'payroll':
    for (nr, code), v in payroll().items():
        if code in ('K010', 'N010', 'N008'):
            items[(nr, code)] = v
else:
    month = datetime.date.today().strftime('%Y%m')
    for r in records(table('NIEOBEC')):
        if (r['zasilek'] != b'Z10' or r['dat_wyp'][:6].decode() != month or r['czy_korekt'] == b'T'
                or int(float(r['status'])) not in (1, 3, 4, 7, 93, 94)):
            continue
        nr = r['nr_prac'].decode().strip()
        days, arrears = int(float(r['l_dni'])), int(float(r['dni_rob'] or b'0'))
        for code, v in (('K010', round(float(r['wartosc']) * 100)), ('N010', (days - arrears) * 100),
                        ('N008', arrears * 100)):
            items[(nr, code)] = items.get((nr, code), 0) + v
print(' '.join('%s:%s=%d' % (nr, code, v) for (nr, code), v in sorted(items.items()) if v))
PY
}
# The process id of the program started by the pane's shell $1.
program_of() {
  local p ppid
  for p in /proc/[0-9]*; do
    [ "$(cat "$p/comm" 2>/dev/null)" = zasilki ] || continue
    read -r _ _ _ ppid _ 2>/dev/null <"$p/stat" || continue
    [ "$ppid" = "$1" ] && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}
records_of() { od -An -tu4 -j4 -N4 "$company/DANE_WE.dbf" | tr -d ' '; }

# Waits (up to 30 s) for the text, answering each note of an index rebuilt on the way.
rebuilt=0
wait_past_rebuilds() {
  for _ in $(seq 1 300); do
    if screen | grep -qF "Odbudowano indeksy zbioru"; then
      rebuilt=$((rebuilt + 1))
      keys Enter
      wait_gone "Odbudowano indeksy zbioru"
    fi
    screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  fail "waited for '$1'"
}

# The transfer of all employees for the payroll month, up to the month's question.
start_transfer() {
  tm kill-session -t "$session" 2>/dev/null || true
  start_demo
  wait_past_rebuilds "Rejestr zasiłków"
  keys Right
  wait_past_rebuilds "Przekazanie do płac"
  keys Enter
  wait_past_rebuilds "Czy chcesz dokonać tego?"
  keys Enter
  wait_past_rebuilds "Zakres pracowników"
  keys Enter                       # all employees
  wait_past_rebuilds "Miesiąc"
}
wait_file() {
  for _ in $(seq 1 3000); do
    [ -e "$1" ] && return 0
    sleep 0.01
  done
  fail "waited for $1"
}

expected=$(tables expected)
[ "$(wc -w <<<"$expected")" -gt 100 ] || fail "too few benefits to send: $expected"
base=$(records_of)
kills=0
missed=0
declare -A landed=()
for moment in "5 noted" "20 made" "40 any" "60 made" "80 any"; do
  read -r more kind <<<"$moment"
  rm -f "$work/ready"
  start_transfer
  program=$(program_of "$(tm display-message -p -t "$session" '#{pane_pid}')") ||
    fail "the program's process was not found"
  tables stop "$program" "$kind" $((base + more)) "$work/ready" >"$work/landing" &
  stopper=$!
  wait_file "$work/ready"
  keys Enter                       # the payroll month: the run starts
  # Meanwhile the run may first rebuild an index left interrupted and say so.
  while kill -0 "$stopper" 2>/dev/null; do
    if screen | grep -qF "Odbudowano indeksy zbioru"; then
      rebuilt=$((rebuilt + 1))
      keys Enter
      wait_gone "Odbudowano indeksy zbioru"
    fi
    sleep 0.05
  done
  wait "$stopper" || { kill -KILL "$program"; fail "the program was not stopped at a moment of kind $kind"; }
  read -r where writing <"$work/landing" || true
  kill -KILL "$program"
  screen | grep -qF "Operacja została zakończona." && fail "the run ended before it was killed ($more items)"
  case "$where" in odd*) fail "$where" ;; esac
  case "$kind" in
    any) ;;
    made) [ "$where" = made ] || missed=$((missed + 1)) ;;
    *) [ "$where" = "$kind" ] || fail "the program stood at '$where', not at a moment of kind $kind" ;;
  esac
  echo "killed at $more new items ($kind): $where $writing; $rebuilt index rebuilds so far"
  landed[$where]=$((${landed[$where]:-0} + 1))
  [ -z "$writing" ] || landed[writing]=$((${landed[writing]:-0} + 1))
  wait_for "EXIT=137"
  kills=$((kills + 1))
done

# Restarted, the transfer runs to its end with no critical error.
start_transfer
keys Enter
wait_past_rebuilds "Operacja została zakończona."
screen | grep -qF "Nie stwierdzono błędów krytycznych!" || fail "critical errors after $kills kills"
keys Enter
wait_gone "Operacja została zakończona."
leave_program
wait_for "EXIT=0"

got=$(tables payroll)
if [ "$got" != "$expected" ]; then
  diff <(tr ' ' '\n' <<<"$expected") <(tr ' ' '\n' <<<"$got") | head -20
  fail "payroll's items differ from the benefits after $kills kills"
fi
ls "$company" | grep -q '^PRZEKAZ_' && fail "a journal of the transfer was left"
[ "$rebuilt" -ge "${landed[writing]:-0}" ] || fail "an index left behind by a kill in a key write was not rebuilt"
echo "ok ($kills kills: ${landed[noted]:-0} with a payroll call noted and not made," \
  "${landed[made]:-0} with one made and its marks not written, ${landed[marked]:-0} with one marked and its" \
  "journal not settled, ${landed[none]:-0} with none pending; ${landed[writing]:-0} in a key write," \
  "$rebuilt index rebuilds at restarts; $missed searches for a call made and not marked gave up)"
