
     ld e1 
     ldn e2 
     tp Tp2  2.3

     end 























BINARY-----
00  06 00 
02  07 01 
04  19 01 17 00 
08  0F 
