#!/usr/bin/env bash
# Size figures for a review: functions over N lines, long files, repeated blocks, test share.
#   scripts/code-metrics.sh [--list] [--max-function 80] [--max-file 600] [DIR=src]
# Function lengths come from a brace-counting scan (comments, strings and preprocessor lines
# skipped), from the line the signature starts on to the closing brace. equipment_*.cpp are
# data tables and do not count as long files.
set -euo pipefail
cd "$(dirname "$0")/.."
list=0; maxFunction=80; maxFile=600; dir=src
while [ $# -gt 0 ]; do
  case "$1" in
    --list) list=1 ;;
    --max-function) maxFunction="$2"; shift ;;
    --max-file) maxFile="$2"; shift ;;
    *) dir="$1" ;;
  esac
  shift
done

python3 - "$dir" "$maxFunction" "$maxFile" "$list" <<'PY'
import os, re, sys

root, max_function, max_file, show = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4] == "1"

def blank_out(text):
    """Replaces comments, string and character literals and preprocessor lines by spaces,
    keeping the newlines so that line numbers stay."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in " \t":
            out.append(c); i += 1; continue
        if line_start and c == "#":
            while i < n:
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append(" \n"); i += 2; continue
                if text[i] == "\n":
                    break
                out.append(" "); i += 1
            continue
        line_start = False
        if c == "\n":
            out.append(c); i += 1; line_start = True; continue
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out.append(" "); i += 1
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end])); i = end; continue
        m = re.match(r'R"([^()\\ ]{0,16})\(', text[i:i + 20])
        if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_") or text[i - 2:i] in ("u8",)):
            close = ")" + m.group(1) + '"'
            end = text.find(close, i + len(m.group(0)))
            end = n if end < 0 else end + len(close)
            out.append(re.sub(r"[^\n]", " ", text[i:end])); i = end; continue
        if c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (min(j, n - 1) - i + 1)); i = j + 1; continue
        out.append(c); i += 1
    return "".join(out)

SCOPE = re.compile(r"^\s*(template\s*<.*>\s*)?(namespace|class|struct|union|enum|extern)\b", re.S)
CONTROL = re.compile(r"^\s*(if|for|while|switch|catch|do|else|try)\b")

def functions(text):
    """Yields (name, first line, last line) of each function body outside another function."""
    code = blank_out(text)
    stack = []          # entries: 'scope', 'data', 'init', ('func', name, start)
    header_start = 0    # index where the current declaration's text begins
    i = 0
    for i, c in enumerate(code):
        if c in ";":
            if not any(isinstance(e, tuple) for e in stack) and (not stack or stack[-1] != "init"):
                header_start = i + 1
        elif c == "{":
            if any(isinstance(e, tuple) for e in stack):
                stack.append("inner"); continue
            header = code[header_start:i]
            stripped = header.strip()
            if stack and stack[-1] in ("data", "init"):
                stack.append("data" if stack[-1] == "data" else "init"); continue
            if SCOPE.match(stripped) and "(" not in stripped.split("{")[0].split(":")[0].replace("alignas(", ""):
                stack.append("scope"); header_start = i + 1; continue
            if SCOPE.match(stripped):
                stack.append("scope"); header_start = i + 1; continue
            if "(" not in stripped or CONTROL.match(stripped):
                stack.append("data"); continue
            depth = 0; top_eq = False; init_list = False
            for k, ch in enumerate(stripped):
                if ch in "(<[": depth += 1
                elif ch in ")>]": depth -= 1
                elif ch == "=" and depth == 0 and stripped[k - 1:k + 1] not in ("==", "!=", "<=", ">=") and stripped[k:k + 2] != "==" and not stripped[max(0, k - 8):k].endswith("operator"):
                    top_eq = True
                elif ch == ":" and depth == 0 and stripped[k - 1:k] == ")" or (ch == ":" and depth == 0 and re.search(r"\)\s*(noexcept\s*)?$", stripped[:k]) and stripped[k + 1:k + 2] != ":" and stripped[k - 1:k] != ":"):
                    init_list = True
            if top_eq and not re.search(r"\boperator\s*[^\s(]*=", stripped):
                stack.append("data"); continue
            if init_list and re.search(r"[A-Za-z0-9_>]\s*$", stripped) and not re.search(r"\b(const|noexcept|override|final|mutable)\s*$", stripped):
                stack.append("init"); continue
            name_match = re.search(r"([~A-Za-z_][\w:~<>]*(?:operator\s*\S+?)?)\s*\(", stripped)
            name = name_match.group(1) if name_match else "?"
            start_line = code.count("\n", 0, header_start + (len(header) - len(header.lstrip()))) + 1
            stack.append(("func", name, start_line))
        elif c == "}":
            if not stack:
                continue
            top = stack.pop()
            if isinstance(top, tuple):
                end_line = code.count("\n", 0, i) + 1
                yield top[1], top[2], end_line
                header_start = i + 1
            elif top == "scope":
                header_start = i + 1
            elif top == "data" and not any(isinstance(e, tuple) for e in stack) and not (stack and stack[-1] in ("data", "init")):
                pass

long_functions, long_files, total_functions = [], [], 0
for dirpath, _, names in os.walk(root):
    for name in sorted(names):
        if not name.endswith((".cpp", ".h")):
            continue
        path = os.path.join(dirpath, name)
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines = text.count("\n")
        if lines > max_file and not re.match(r"equipment_.*\.cpp$", name):
            long_files.append((lines, path))
        for fname, first, last in functions(text):
            total_functions += 1
            length = last - first + 1
            if length > max_function:
                long_functions.append((length, path, first, fname))

print(f"functions: {total_functions}")
print(f"functions over {max_function} lines: {len(long_functions)}")
if show:
    for length, path, first, fname in sorted(long_functions, reverse=True):
        print(f"  {length:4d}  {path}:{first}  {fname}")
print(f"files over {max_file} lines (equipment_*.cpp left out): {len(long_files)}")
if show:
    for lines, path in sorted(long_files, reverse=True):
        print(f"  {lines:4d}  {path}")
PY

if command -v duplicates >/dev/null; then
  printf 'duplicates %s: ' "$dir"
  (cd "$dir" && duplicates --seconds 120 --most 1 | head -1)
fi

# Test lines as a share of all C++ lines (tests/ against tests/ and src/).
cpp_lines() { find "$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | wc -l; }
if [ -d tests ]; then
  tests=$(cpp_lines tests); code=$(cpp_lines "$dir")
  echo "test share: $tests test lines of $((tests + code)) ($((100 * tests / (tests + code))) %)"
fi

# How failures travel out of the core (src/ less the two front ends). Each line counts sites.
core_files() { find "$dir" \( -path "$dir/gui" -o -path "$dir/cli" \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print; }
count() { core_files | xargs grep -EHn "$1" 2>/dev/null | grep -Ev "${2:-^$}" | wc -l; }
echo "error channels in the core:"
echo "  message sink called by the core (showMessage): $(count 'showMessage\(' 'message_sink\.(h|cpp):')"
echo "  thread-local failure text: $(count 'thread_local std::string')"
echo "  throw sites: $(count '\bthrow\b')"
echo "  reason out-parameters (std::string* / & reason, error, why): $(core_files | grep '\.h$' | xargs grep -EHn 'std::string\s*[*&]\s*(reason|error|why|failure|message)\b' | wc -l)"
echo "  outcome enums (enum class *Outcome/Result/Status/Check/Error): $(core_files | grep '\.h$' | xargs grep -EHn 'enum class \w*(Outcome|Result|Status|Check|Error|Code)\b' | wc -l)"
echo "  fallible bool results (bool Load*/Save*/read*/write*/open*/decode*/encode*/convert*...): $(core_files | grep '\.h$' | xargs grep -EHn '^\s*(\[\[nodiscard\]\]\s*)?(static\s+|virtual\s+)?bool\s+(Load|Save|Store|Write|Read|read|write|open|save|load|decode|encode|convert|replace|apply)\w*\(' | wc -l)"
