#!/usr/bin/env bash
# Writes the seed corpora of the settings and password page targets with
# kladdo-data, so that every seed is a file the program itself writes (and a
# few cut or changed copies of them, as damage leaves them).
#   tests/fuzz/make-seeds.sh BUILD_DIR   (a build with bin/kladdo-data)
set -euo pipefail
tool="$(realpath "$1")/bin/kladdo-data"
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Settings: every key as the program writes it, then oddities a user or an
# older file leaves: blanks and quotes around titles, hexadecimal numbers.
mkdir -p "$work/full" "$work/odd" corpus/settings corpus/passpage
for key in Language=English DisplayNP=1 DisplayAlarm=1 DisplayHint=0 Note=3 Pass=7 Pos=120 \
    Adjust=1 Transparent=200 Palette=6 Color1=255 Color2=65280 Color3=16711680 ColWidth1=200 \
    ColWidth2=150 ColWidth3=145 ColPos1=200 ColPos2=150 RollEffect=2; do
  "$tool" settings set "$work/full" WINDOW "${key%%=*}" "${key#*=}"
done
for page in 0 4 9; do
  "$tool" settings set "$work/full" NOTETITLE "Title$page" "Notiz $page"
  "$tool" settings set "$work/full" PASSTITLE "Title$page" "Konten $page"
  "$tool" settings set "$work/full" ALARM "Alarm$page" "0$page.03.2027   09:05"
done
"$tool" settings set "$work/odd" WINDOW Note 0x5
"$tool" settings set "$work/odd" WINDOW Transparent '$1FF'
"$tool" settings set "$work/odd" WINDOW Palette -1
"$tool" settings set "$work/odd" NOTETITLE Title0 '  "Zitat"  '
"$tool" settings set "$work/odd" NOTETITLE Title1 "'einfach'"
"$tool" settings set "$work/odd" PASSTITLE Title2 'Straße € 10'
"$tool" settings set "$work/odd" ALARM Alarm3 ''
cp "$work/full/note.ini" corpus/settings/full.ini
cp "$work/odd/note.ini" corpus/settings/odd.ini
head -c 300 "$work/full/note.ini" >corpus/settings/cut.ini

# Password pages: a full page, an empty one, a cut one and one whose first
# stored password is no longer a cipher text.
long_text=$(printf 'T%.0s' {1..255})
long_password=$(printf 'p%.0s' {1..183})
{
  echo 'text,name,password'
  echo 'Bank,anna,geheim'
  echo 'Mail,anna@example.org,"Komma, und ""Anführung"""'
  echo "$long_text,Straße,$long_password"
  echo 'Euro €,,'
  for row in 5 6 7 8 9 10 11 12 13; do echo "Zeile $row,name $row,pw$row"; done
} >"$work/page.csv"
echo 'text,name,password' >"$work/empty.csv"
"$tool" passwords import "$work/full" 0 "$work/page.csv"
"$tool" passwords import "$work/full" 1 "$work/empty.csv"
cp "$work/full/pass0.dat" corpus/passpage/full.dat
cp "$work/full/pass1.dat" corpus/passpage/empty.dat
head -c 4000 "$work/full/pass0.dat" >corpus/passpage/cut.dat
cp "$work/full/pass0.dat" corpus/passpage/undecipherable.dat
# The password column starts at byte 7168; byte 7170 is the second
# character of row 1's stored password.
printf '!' | dd of=corpus/passpage/undecipherable.dat bs=1 seek=7170 conv=notrunc status=none
