; kqhatch.pat - hatch patterns of plotdxf
;
; Patterns are numbered 1, 2, 3... by the order of their "*" lines; the program
; maps names to numbers (1-13 well and sample names, 14-19 spare, 20 FB,
; 21-51 soil and rock codes), so keep the order. Each pattern: a "*" line (code and
; name; not read), the number of lines, then one line per family of parallel lines:
;   angle, base x, base y, offset along, offset across, dash, gap
; angle in degrees, everything else in inches at plot scale; offsets are measured
; in the line's own frame; dash 0 with a gap is a dot; dash 0 and gap 0 is a
; continuous line. Lines that do not start with "*" outside a pattern are comments.
;
; 1 WELL_FILL - backfill: open diagonal cross-hatch
*WELL_FILL, backfill
2
45,0,0,0,0.13,0,0
135,0,0,0,0.13,0,0
; 2 WELL_GROUT - cement grout: diagonal rules with small triangles
*WELL_GROUT, cement grout
4
120,0.06,0,0.06,0.103923,0,0
0,0,0,0.06,0.103923,0.04,0.08
120,0.04,0,0.06,0.103923,0.04,0.08
240,0.02,0.034641,0.06,0.103923,0.04,0.08
; 3 WELL_SEAL - bentonite seal: staggered double dashes (=)
*WELL_SEAL, bentonite seal
2
0,0,0,0.08,0.06,0.07,0.09
0,0,0.02,0.08,0.06,0.07,0.09
; 4 WELL_FILTER - filter pack: fine regular stipple (dense)
*WELL_FILTER, filter pack
1
0,0,0,0.015,0.026,0,0.03
; 5 WELL_PACK - sand pack: fine stipple in clusters of three
*WELL_PACK, sand pack
3
0,0,0,0.06,0.08,0,0.12
0,0.024,0,0.06,0.08,0,0.12
0,0.012,0.02,0.06,0.08,0,0.12
; 6 WELL_SCREEN - well screen: short horizontal slots in columns
*WELL_SCREEN, well screen
1
0,0,0,0,0.05,0.09,0.05
; 7 SAMP_COND2 - sample condition 2, half (our reading: partial recovery, shaded half-tone): dense horizontal rules (half-tone)
*SAMP_COND2, sample condition 2, half
1
0,0,0,0,0.04,0,0
; 8 SAMP_COND3 - sample condition 3, cross: dense diagonal cross-hatch
*SAMP_COND3, sample condition 3, cross
2
45,0,0,0,0.06,0,0
135,0,0,0,0.06,0,0
; 9 SAMP_COND4 - sample condition 4, diagonal: dense diagonal rules
*SAMP_COND4, sample condition 4, diagonal