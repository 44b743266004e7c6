
     ld marcha 
     andn e2 
     rst 3 motor 
     ld e3 
     set s2 
     ld e4 
     setb s3 
     ldi 200 
     out s4 

     ld e5 
     tpv Tpv2 
     ld e6 
     tpvf Tpvf2 
     ld e7 
     tp Tp4 999.9
     ld e8 
     tpf Tpf2 99.99

     ld v01 
     osc  1.025.0
     out v02 
     ld re01 
     rct 
     ld re16 
     rtp 
     ld Cnt2 
     not v46 

     ldiv 9 v10 
     setif1 v11 marcha 
     xor motor 
     clrif1 v12 Tpf1 
     nota 
     out v13 
     ld marcha 
     if1 ETQ05 
     ld e2 
     if0 ETQ05 
     ld e3 
     jp0 ETQ05 

ETQ05: 
     ld e4 
     ifv1 v20 ETQ06 
     ld e5 
     jpv1 Tp1 ETQ06 
     gosub ETQ07 
     ld e6 
     jp1 ETQ06 

ETQ06: 
     ld e7 
     pulso 
     out s5 
     goto ETQ07 

ETQ07: 
     ld e8 
     ld marcha 
     ctv Cnt3 
     rjp 

     end 

















BINARY-----
00  06 00 
02  01 01 
04  0C 03 08 
07  06 02 
09  0D 09 
0B  06 03 
0D  0E 0A 
0F  14 C8 
11  0B 0B 
13  06 04 
15  13 01 
17  06 05 
19  13 05 
1B  06 06 
1D  19 03 0F 27 
21  06 07 
23  19 05 0F 27 
27  06 0E 
29  15 0A FA 
2C  0B 0F 
2E  06 3C 
30  16 
31  06 4B 
33  17 
34  06 4D 
36  1C 3B 
38  1D 09 17 
3B  20 18 00 
3E  21 08 
40  23 19 5A 
43  25 
44  0B 1A 
46  06 00 
48  05 52 
4A  06 01 
4C  22 52 
4E  06 02 
50  24 52 
52  06 03 
54  1E 21 62 
57  06 04 
59  1F 56 62 
5C  1B 69 
5E  06 05 
60  11 62 
62  06 06 
64  18 
65  0B 0C 
67  1A 69 
69  06 07 
6B  06 00 
6D  10 02 
6F  12 
70  0F 
