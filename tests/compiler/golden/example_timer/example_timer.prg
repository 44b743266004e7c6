
     ld llave 
     tp retardo  2.5

     ld retardo 
     out lámpara 

     end 






















BINARY-----
00  06 00 
02  19 00 19 00 
06  06 56 
08  0B 08 
0A  0F 
