#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/. Every seed is made
# here from printf strings, so the corpus can be rebuilt and reviewed; regression inputs that
# the fuzzers found are kept beside the seeds under names that start with "found-" and are
# not touched by this script.
set -euo pipefail

root="$(cd "$(dirname "$0")" && pwd)/corpus"

# seed <target> <file name> <printf format>: the format's escapes give the bytes.
seed() {
    mkdir -p "$root/$1"
    # shellcheck disable=SC2059 # the format is the seed itself
    printf "$3" >"$root/$1/$2"
}

# Sections of the recompute and lookup inputs end at the unit separator.
S=$'\x1f'

# --- fuzz_text_split: custom spellbook files, byte for byte.
seed fuzz_text_split gesture-file 'DFW\r\nSD\r\n'
seed fuzz_text_split lf-lf-no-final-break 'A\n\nB'
seed fuzz_text_split lf-cr-and-cr-cr-lf 'A\n\rB\r\r\nC\n\r'
seed fuzz_text_split zero-byte 'A\r\nB\0C\r\nD'
seed fuzz_text_split utf16-with-mark '\xff\xfeA\0B\0\r\0\n\0'
seed fuzz_text_split utf8-mark-and-letter '\xef\xbb\xbfM\xc3\xa1gico\r\nSD'
seed fuzz_text_split codepage-80-to-9f '\x80\x81\x8a\x8d\x8f\x90\x99\x9d\x9f\r\xa0\xe9\xff'

# --- fuzz_recompute: gestures, names, then steps (01: gestures, 02: names, 03: pane text).
gestures='cDPW\ncSWWS\ncWSSW\ncw\nDFFDD\nDFPW\nDFW\nDFWFd\nDPP\nDSF\nDSFFFc\nDWFFd\nDWSSSP\nDWWFWD\nFFF\nFPSFW\nFSSDD\nP\np\nPDWP\nPPws\nPSDD\nPSDF\nPSFW\nPWPFSSSD\nPWPWWc\nSD\nSFW\nSPFP\nSPFPSDW\nSPPc\nSPPFD\nSSFP\nSWD\nSWWc\nWDDc\nWFP\nWFPSFW\nWPFD\nWPP\nWSSc\nWWFP\nWWP\nWWS\n'
names='Dispel Magic\nSummon Ice Elemental\nSummon Fire Elemental\nMagic Mirror\nLightning Bolt\nCure Heavy Wounds\nCure Light Wounds\nBlindness\nAmnesia\nConfusion\nDisease\nBlindness\nDelay Effect\nPoison\nParalysis\nSummon Troll\nFireball\nShield\nSurrender\nRemove Enchantment\nInvisibility\nCharm Monster\nCharm Person\nSummon Ogre\nFinger of Death\nHaste\nMagic Missile\nSummon Goblin\nAnti Spell\nPermanency\nTime Stop\nTime Stop\nResist Cold\nFear\nFire Storm\nClap of Lightning\nCause Light Wounds\nSummon Giant\nCause Heavy Wounds\nCounter Spell\nIce Storm\nResist Heat\nProtection\nCounter Spell\n'
seed fuzz_recompute default-spellbook-typing "${gestures}${S}${names}${S}S${S}SD${S}SDX${S}WWP${S}PWPFSSSD"
seed fuzz_recompute default-spellbook-wildcards "${gestures}${S}${names}${S}XXXC${S}??WS${S}?W${S}xw${S}*"
seed fuzz_recompute names-run-out "${gestures}${S}Dispel Magic\nSummon Ice Elemental${S}SD${S}\x02${names}${S}SD"
seed fuzz_recompute keys-inside-lines "SWD\nSW\nSD\nSD\nP\np${S}Fear\nFear\nMagic Missile\nMissile\nShield\nshield${S}SW${S}SD${S}P${S}\x01SW\nSWD${S}SW"
seed fuzz_recompute brackets-in-names "P\nW\nWWP\n[[\nD]${S}Odd [WWP]\n[wwp] Odd\nProtection\na [[[\nZ [D${S}WWP${S}[[${S}D]"
seed fuzz_recompute folding-letters "\xc3\xa9\n\xc3\x89\n\xc5\xbf\nS\n\xe2\x84\xaa\nk${S}\xc3\x89lan\n\xc3\xa9lan\nlong s\nLONG S\nkelvin\nKELVIN${S}?${S}S${S}K"
seed fuzz_recompute history-across-lines "D\r\nD\nDD${S}a\nb\nc${S}D\r\n${S}\x03""1: x [D\n2: y [\n\nD]${S}\x03\n\n"
seed fuzz_recompute written-pane "${S}${S}SD${S}\x03""1: A [SD]\n2: B [SD]\n1: [SD] C\n3: [sd]\n0\n${S}D\x03\x035: [[D\n5: [D"

# --- fuzz_lookup: mode byte (language, text source), width byte, text, names.
# Mode: language = value mod 3 (English, Italian, Spanish); text = value / 3 mod 3 (fuzzed,
# built-in document, wrapped start-up text).
seed fuzz_lookup english-document "\x03\x5f${S}Shield${S}Finger of Death${S}Time Stop${S}${S}Nothing"
seed fuzz_lookup italian-document "\x04\x5f${S}Evoca elementale del ghiaccio${S}Amnesia${S}Veleno"
seed fuzz_lookup spanish-document "\x05\x5f${S}Veleno${S}Relámpago${S}Invocar Elemental"
seed fuzz_lookup startup-text "\x06\x5f${S}Shield${S}Counter Spell${S}Dispel Magic"
seed fuzz_lookup fuzzed-text "\x00\x0aShield (gesture P)\r\nshield (GESTURE${S}SHIELD${S}shield (g${S}"
seed fuzz_lookup fuzzed-spanish "\x02\x03Miedo\r\nMiedo\rX\nmiedo${S}Miedo${S}${S}X"
seed fuzz_lookup entry-on-last-line "\x02\x00Veleno\r\nMiedo${S}miedo${S}Veleno"
seed fuzz_lookup long-paragraph "\x01\x07Evoca elementale   del ghiaccio [cSWWS] e altro testo senza fine${S}del ghiaccio${S}e"
