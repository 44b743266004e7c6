
     ld e4 
     and e5 
     or e1 
     ld e2 
     andp 
     out s1 

     end 























BINARY-----
00  06 03 
02  00 04 
04  08 00 
06  06 01 
08  02 
09  0B 08 
0B  0F 
