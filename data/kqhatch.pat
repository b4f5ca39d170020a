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
1
45,0,0,0,0.05,0,0
; 10 CUTT_FINE - drill cuttings, fine: small chips and dots
*CUTT_FINE, drill cuttings, fine
6
0,0.0380743,0.0435383,0.08,0.08,0.02,0.14
45,0.1001152,0.0052423,0,0.1131371,0.02,0.0931371
90,0.1338338,0.0381083,0.08,0.08,0.02,0.14
135,0.1015777,0.0694436,0,0.1131371,0.02,0.0931371
0,0.0623784,0.0790014,0.08,0.08,0,0.16
0,0.0596011,0.003481,0.08,0.08,0,0.16
; 11 CUTT_MED - drill cuttings, medium: medium angular chips
*CUTT_MED, drill cuttings, medium
6
0,0.0566515,0.0123799,0.12,0.12,0.04,0.2
45,0.183639,0.0266314,0,0.1697056,0.04,0.1297056
90,0.074364,0.0752371,0.12,0.12,0.04,0.2
135,0.1454045,0.0806042,0,0.1697056,0.04,0.1297056
0,0.1214289,0.0213348,0.12,0.12,0.04,0.2
45,0.0111173,0.0751621,0,0.1697056,0.04,0.1297056
; 12 CUTT_COARSE - drill cuttings, coarse: large angular chips
*CUTT_COARSE, drill cuttings, coarse
8
0,0.02,0.02,0.16,0.16,0.06,0.26
135,0.08,0.02,0,0.2262742,0.0424264,0.1838478
225,0.05,0.05,0,0.2262742,0.0424264,0.1838478
0,0.2,0.06,0.16,0.16,0.06,0.26
90,0.26,0.06,0.16,0.16,0.06,0.26
225,0.26,0.12,0,0.2262742,0.0848528,0.1414214
45,0.12,0.1,0,0.2262742,0.0565685,0.1697056
315,0.16,0.14,0,0.2262742,0.0565685,0.1697056
; 13 QUICKSOIL - soil, unclassified, for quick logs (our reading of QUICKSOIL): dots and small wavy marks
*QUICKSOIL, soil, unclassified, for quick logs
5
0,0,0,0.1,0.1,0,0.2
0,0.05,0.035,0.1,0.1,0,0.2
26.5650512,0.09,0,0.1341641,0.0447214,0.033541,0.4136726
333.4349488,0.12,0.015,0.3130495,0.0447214,0.033541,0.4136726
26.5650512,0.15,0,0.1341641,0.0447214,0.033541,0.4136726
; 14 TOPSOIL - topsoil (spare 14): dots with short root ticks
*TOPSOIL, topsoil (spare 14)
4
0,0,0,0.1,0.1,0,0.2
0,0.06,0.03,0.1,0.1,0,0.2
90,0.11,0,0.1,0.1,0.04,0.16
90,0.13,0.01,0.1,0.1,0.04,0.16
; 15 FILL - fill, debris (spare 15): mixed squares, triangles and bits
*FILL, fill, debris (spare 15)
8
0,0,0,0.12,0.12,0.05,0.19
90,0.05,0,0.12,0.12,0.05,0.19
180,0.05,0.05,0.12,0.12,0.05,0.19
270,0,0.05,0.12,0.12,0.05,0.19
0,0.1,0.02,0.12,0.12,0.06,0.18
135,0.16,0.02,0,0.1697056,0.0424264,0.1272792
225,0.13,0.05,0,0.1697056,0.0424264,0.1272792
0,0.18,0.08,0.12,0.12,0.04,0.2
; 16 ASPHALT - asphalt pavement (spare 16): dense stipple on horizontal rules
*ASPHALT, asphalt pavement (spare 16)
2
0,0,0,0,0.08,0,0
0,0,0.013,0.015,0.027,0,0.03
; 17 CONCRETE - concrete (spare 17): triangles and dots
*CONCRETE, concrete (spare 17)
6
0,0,0,0.14,0.2424871,0.07,0.21
120,0.07,0,0.14,0.2424871,0.07,0.21
240,0.035,0.0606218,0.14,0.2424871,0.07,0.21
0,0.12,0.1,0.14,0.2424871,0,0.28
0,0.2,0.05,0.14,0.2424871,0,0.28
0,0.24,0.17,0.14,0.2424871,0,0.28
; 18 WATER - water (spare 18): rows of wavelets
*WATER, water (spare 18)
4
21.8014095,0,0,0.1838384,0.0557086,0.032311,0.6139088
338.1985905,0.03,0.012,0.4623814,0.0557086,0.032311,0.6139088
21.8014095,0.06,0,0.1838384,0.0557086,0.032311,0.6139088
338.1985905,0.09,0.012,0.4623814,0.0557086,0.032311,0.6139088
; 19 BOULDERS - cobbles and boulders (spare 19): large open ovals with small rings
*BOULDERS, cobbles and boulders (spare 19)
12
0,-0.08,-0.08,0.25,0.25,0.16,0.34
45,0.08,-0.08,0,0.3535534,0.0707107,0.2828427
90,0.13,-0.03,0.25,0.25,0.06,0.44
135,0.13,0.03,0,0.3535534,0.0707107,0.2828427
180,0.08,0.08,0.25,0.25,0.16,0.34
225,-0.08,0.08,0,0.3535534,0.0707107,0.2828427
270,-0.13,0.03,0.25,0.25,0.06,0.44
315,-0.13,-0.03,0,0.3535534,0.0707107,0.2828427
45,0.25,-0.035,0,0.3535534,0.0494975,0.3040559
135,0.285,0,0,0.3535534,0.0494975,0.3040559
225,0.25,0.035,0,0.3535534,0.0494975,0.3040559
315,0.215,0,0,0.3535534,0.0494975,0.3040559
; 20 FB - black fill (PF only): dense diagonal rules
*FB, black fill (PF only)
1
45,0,0,0,0.025,0,0
; 21 GW - well-graded gravel: open rings of mixed sizes
*GW, well-graded gravel
12
0,-0.025,-0.04,0.12,0.12,0.05,0.19
45,0.025,-0.04,0,0.1697056,0.0424264,0.1272792
90,0.055,-0.01,0.12,0.12,0.02,0.22
135,0.055,0.01,0,0.1697056,0.0424264,0.1272792
180,0.025,0.04,0.12,0.12,0.05,0.19
225,-0.025,0.04,0,0.1697056,0.0424264,0.1272792
270,-0.055,0.01,0.12,0.12,0.02,0.22
315,-0.055,-0.01,0,0.1697056,0.0424264,0.1272792
45,0.12,-0.02,0,0.1697056,0.0282843,0.1414214
135,0.14,0,0,0.1697056,0.0282843,0.1414214
225,0.12,0.02,0,0.1697056,0.0282843,0.1414214
315,0.1,0,0,0.1697056,0.0282843,0.1414214
; 22 GP - poorly graded gravel: open rings of one size
*GP, poorly graded gravel
8
0,-0.015,-0.03,0.08,0.08,0.03,0.13
45,0.015,-0.03,0,0.1131371,0.0282843,0.0848528
90,0.035,-0.01,0.08,0.08,0.02,0.14
135,0.035,0.01,0,0.1131371,0.0282843,0.0848528
180,0.015,0.03,0.08,0.08,0.03,0.13
225,-0.015,0.03,0,0.1131371,0.0282843,0.0848528
270,-0.035,0.01,0.08,0.08,0.02,0.14
315,-0.035,-0.01,0,0.1131371,0.0282843,0.0848528
; 23 GM - silty gravel: rings with dots
*GM, silty gravel
11
0,-0.02,-0.03,0.1,0.1,0.04,0.16
45,0.02,-0.03,0,0.1414214,0.0282843,0.1131371
90,0.04,-0.01,0.1,0.1,0.02,0.18
135,0.04,0.01,0,0.1414214,0.0282843,0.1131371
180,0.02,0.03,0.1,0.1,0.04,0.16
225,-0.02,0.03,0,0.1414214,0.0282843,0.1131371
270,-0.04,0.01,0.1,0.1,0.02,0.18
315,-0.04,-0.01,0,0.1414214,0.0282843,0.1131371
0,0.1,0,0.1,0.1,0,0.2
0,0.07,0.05,0.1,0.1,0,0.2
0,0.13,0.05,0.1,0.1,0,0.2
; 24 GC - clayey gravel: rings with diagonal rules
*GC, clayey gravel
9
0,-0.02,-0.03,0.1,0.1,0.04,0.16
45,0.02,-0.03,0,0.1414214,0.0282843,0.1131371
90,0.04,-0.01,0.1,0.1,0.02,0.18
135,0.04,0.01,0,0.1414214,0.0282843,0.1131371
180,0.02,0.03,0.1,0.1,0.04,0.16
225,-0.02,0.03,0,0.1414214,0.0282843,0.1131371
270,-0.04,0.01,0.1,0.1,0.02,0.18
315,-0.04,-0.01,0,0.1414214,0.0282843,0.1131371
45,0.1,0,0,0.1414214,0,0
; 25 SW - well-graded sand: irregular stipple
*SW, well-graded sand
12
0,0.0777199,0.0362038,0.12,0.24,0,0.24
0,0.1562243,0.0173847,0.12,0.24,0,0.24
0,0.1286117,0.0877653,0.12,0.24,0,0.24
0,0.0139197,0.1217846,0.12,0.24,0,0.24
0,0.0167653,0.0217711,0.12,0.24,0,0.24
0,0.1018846,0.1984445,0.12,0.24,0,0.24
0,0.2060324,0.0695062,0.12,0.24,0,0.24
0,0.0753953,0.1405348,0.12,0.24,0,0.24
0,0.1906511,0.1677587,0.12,0.24,0,0.24
0,0.2015923,0.2267235,0.12,0.24,0,0.24
0,0.1137836,0.1593965,0.12,0.24,0,0.24
0,0.0145607,0.1683581,0.12,0.24,0,0.24
; 26 SP - poorly graded sand: regular stipple
*SP, poorly graded sand
1
0,0,0,0.03,0.05,0,0.06
; 27 SM - silty sand: dots with short horizontal dashes
*SM, silty sand
3
0,0,0,0.06,0.08,0.04,0.08
0,0.07,0.04,0.06,0.08,0,0.12
0,0.1,0,0.06,0.08,0,0.12
; 28 SC - clayey sand: dots with diagonal rules
*SC, clayey sand
2
45,0,0,0,0.12,0,0
0,0.03,0,0.03,0.04,0,0.06
; 29 ML - silt: short horizontal dashes
*ML, silt
1
0,0,0,0.05,0.06,0.04,0.06
; 30 MH - elastic silt: open dashes with vertical ticks
*MH, elastic silt
2
0,0,0,0.08,0.1,0.06,0.1
90,0.03,0,0.1,0.08,0.025,0.175
; 31 CL - lean clay: diagonal rules
*CL, lean clay
1
45,0,0,0,0.1,0,0
; 32 CH - fat clay: dense diagonal rules crossed by horizontal rules
*CH, fat clay
2
45,0,0,0,0.06,0,0
0,0,0,0,0.12,0,0
; 33 PT - peat: grass-like tufts
*PT, peat
4
0,-0.04,0,0.12,0.2078461,0.08,0.16
90,0,0,0.2078461,0.12,0.055,0.3606922
60,0,0,0.12,0.2078461,0.055,0.185
120,0,0,0.12,0.2078461,0.055,0.185
; 34 AR - argillite (our reading of AR): short tilted dashes (cleaved mudstone)
*AR, argillite
1
26.5650512,0,0,0.1073313,0.0357771,0.067082,0.2906888
; 35 LS - limestone: bricks
*LS, limestone
2
0,0,0,0,0.1,0,0
90,0,0,0.1,0.1,0.1,0.1
; 36 LC - limestone, cherty (our reading of LC): bricks with small triangles
*LC, limestone, cherty
5
0,0,0,0,0.12,0,0
90,0,0,0.12,0.12,0.12,0.12
0,0.03,0.03,0.12,0.12,0.06,0.18
135,0.09,0.03,0,0.1697056,0.0424264,0.1272792
225,0.06,0.06,0,0.1697056,0.0424264,0.1272792
; 37 DO - dolomite: offset rhombs (bricks with slanted joints)
*DO, dolomite
2
0,0,0,0,0.1,0,0
63.4349488,0,0,0.3130495,0.0447214,0.1118034,0.3354102
; 38 SH - shale: close rows of long staggered dashes
*SH, shale
1
0,0,0,0.09,0.04,0.15,0.03
; 39 CO - coal (our reading of CO): dense square grid
*CO, coal
2
0,0,0,0,0.03,0,0
90,0,0,0,0.03,0,0
; 40 SS - sandstone: dots between horizontal rules
*SS, sandstone
3
0,0,0,0,0.12,0,0
0,0,0.04,0,0.12,0,0.05
0,0.025,0.08,0,0.12,0,0.05
; 41 MS - mudstone (our reading of MS): short dashes between horizontal rules
*MS, mudstone
3
0,0,0,0,0.12,0,0
0,0,0.04,0,0.12,0.04,0.05
0,0.045,0.08,0,0.12,0.04,0.05
; 42 SL - siltstone (our reading of SL): dash-dot rows between horizontal rules
*SL, siltstone
3
0,0,0,0,0.12,0,0
0,0,0.06,0,0.12,0.04,0.04
0,0.06,0.06,0,0.12,0,0.08
; 43 CG - conglomerate: pebble ovals and dots on horizontal rules
*CG, conglomerate
11
0,-0.025,0.025,0.12,0.12,0.05,0.19
45,0.025,0.025,0,0.1697056,0.0353553,0.1343503
90,0.05,0.05,0.12,0.12,0.02,0.22
135,0.05,0.07,0,0.1697056,0.0353553,0.1343503
180,0.025,0.095,0.12,0.12,0.05,0.19
225,-0.025,0.095,0,0.1697056,0.0353553,0.1343503
270,-0.05,0.07,0.12,0.12,0.02,0.22
315,-0.05,0.05,0,0.1697056,0.0353553,0.1343503
0,0,0,0.12,0.12,0,0
0,0.12,0.03,0.12,0.12,0,0.24
0,0.16,0.09,0.12,0.12,0,0.24
; 44 BR - breccia: angular triangles
*BR, breccia
9
0,0,0,0.11,0.1905256,0.08,0.14
120,0.08,0,0.11,0.1905256,0.08,0.14
240,0.04,0.069282,0.11,0.1905256,0.08,0.14
0,0.1,0.1,0.11,0.1905256,0.05,0.17
240,0.15,0.1,0.11,0.1905256,0.05,0.17
120,0.125,0.0566987,0.11,0.1905256,0.05,0.17
90,0.17,0,0.1905256,0.11,0.06,0.3210512
330,0.17,0.06,0.1905256,0.11,0.06,0.3210512
210,0.2219615,0.03,0.1905256,0.11,0.06,0.3210512
; 45 MA - marl (our reading of MA): horizontal rules, short dashes and brick joints
*MA, marl
3
0,0,0,0,0.06,0,0
90,0,0,0.12,0.12,0.06,0.18
0,0,0.09,0,0.12,0.04,0.04
; 46 MB - marble (our reading of MB): crystalline mosaic (honeycomb)
*MB, marble
3
0,0,0,0.075,0.0433013,0.05,0.1
60,0.05,0,0.075,0.0433013,0.05,0.1
120,0,0,0.075,0.0433013,0.05,0.1
; 47 GT - granite, igneous intrusive: scattered upright and diagonal crosses
*GT, granite, igneous intrusive
4
0,-0.025,0,0.12,0.12,0.05,0.19
90,0,-0.025,0.12,0.12,0.05,0.19
45,0.102,0.022,0,0.1697056,0.0509117,0.1187939
315,0.102,0.058,0,0.1697056,0.0509117,0.1187939
; 48 VL - volcanic rock: scattered v ticks
*VL, volcanic rock
4
120,0,0,0.1,0.1732051,0.035,0.165
60,0,0,0.1,0.1732051,0.035,0.165
120,0.1,0.05,0.1,0.1732051,0.028,0.172
60,0.1,0.05,0.1,0.1732051,0.028,0.172
; 49 GR - gneiss (our reading of GR): lens-shaped eyes in bands
*GR, gneiss
4
22.6198649,0,0,0.1492308,0.0461538,0.065,0.455
337.3801351,0.06,0.025,0.3707692,0.0461538,0.065,0.455
337.3801351,0,0,0.3707692,0.0461538,0.065,0.455
22.6198649,0.06,-0.025,0.1492308,0.0461538,0.065,0.455
; 50 ME - metamorphic rock: zigzag waves
*ME, metamorphic rock
2
21.8014095,0,0,0.1225589,0.0371391,0.0538516,0.1615549
338.1985905,0.05,0.02,0.0928477,0.0371391,0.0538516,0.1615549
; 51 QU - quartzite (our reading of QU): dots with short diagonal ticks
*QU, quartzite
3
0,0,0,0.08,0.08,0,0.16
0,0.04,0,0.08,0.08,0,0.16
45,0.09,0.01,0,0.1131371,0.0353553,0.0777817
