

     end 























BINARY-----
00  0F 
