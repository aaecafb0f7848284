# A real printer for the integration test: starts the CUPS scheduler when it is not running and adds a
# CUPS-PDF queue (TessarinePDF) that writes its PDF files into a known folder. Safe to run again: a
# running scheduler, an existing queue and an existing folder are all fine. Needs root.
set -euo pipefail

QUEUE=${TESSARINE_PDF_QUEUE:-TessarinePDF}
OUT_DIR=${TESSARINE_PDF_DIR:-/var/spool/tessarine-pdf}
CONF=/etc/cups/cups-pdf.conf

if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null; then
  echo "CUPS is not installed: the real-printer test will be skipped"
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  echo "Not root: cannot start CUPS or add a queue; the real-printer test will be skipped"
  exit 0
fi

# Test processes may run this at the same time; one at a time.
exec 9>/tmp/tessarine-cups-pdf.lock
flock -w 120 9 || true

# CUPS-PDF writes every job into the folder its configuration names, each file ending in "-job_ID.pdf"
# (Label 2): the tests find a job's file by its id, whatever other queues print at the same time.
mkdir -p "$OUT_DIR"
chmod 1777 "$OUT_DIR"
set_conf() {
  if [ -f "$CONF" ] && grep -qE "^[[:space:]]*$1[[:space:]]" "$CONF"; then
    sed -i -E "s|^[[:space:]]*$1[[:space:]].*|$1 $2|" "$CONF"
  else
    echo "$1 $2" >>"$CONF"
  fi
}
set_conf Out "$OUT_DIR"
set_conf Label 2

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }
if ! scheduler_running; then
  mkdir -p /run/cups
  cupsd 9>&-  # the scheduler must not keep the lock
  for _ in $(seq 1 50); do
    scheduler_running && break
    sleep 0.2
  done
fi
if ! scheduler_running; then
  echo "The CUPS scheduler did not start" >&2
  exit 1
fi

PPD=""
for candidate in /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF.ppd \
  /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd; do
  if [ -f "$candidate" ]; then
    PPD=$candidate
    break
  fi
done
if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
  if [ -n "$PPD" ]; then
    lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P "$PPD"
  else
    lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
  fi
fi
cupsenable "$QUEUE"
cupsaccept "$QUEUE"
echo "CUPS-PDF queue $QUEUE writes into $OUT_DIR"
