
     ld e1 
     ld e2 
     ctv Cnt1 
     ld e3 
     ld e4 
     ctv Cnt2 

     ld e4 
     and e5 
     or e1 
     ld e2 
     andp 
     ld e6 
     ctv Cnt3 

     end 






















BINARY-----
00  06 00 
02  06 01 
04  10 00 
06  06 02 
08  06 03 
0A  10 01 
0C  06 03 
0E  00 04 
10  08 00 
12  06 01 
14  02 
15  06 05 
17  10 02 
19  0F 
