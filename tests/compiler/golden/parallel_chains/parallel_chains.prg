
     ld e1 
     and e2 
     ld e3 
     and e4 
     orp 
     out s1 

     end 























BINARY-----
00  06 00 
02  00 01 
04  06 02 
06  00 03 
08  0A 
09  0B 08 
0B  0F 
