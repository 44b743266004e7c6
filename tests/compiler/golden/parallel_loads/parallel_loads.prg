
     ld e2 
     or e1 
     out s1 

     end 























BINARY-----
00  06 01 
02  08 00 
04  0B 08 
06  0F 
